#pragma once
struct GLFWwindow;

// The browser page as a player: the page's demo runs on edit mode's session (demo/demo_session.h)
// rather than on the live clock, so that it can pause, step and seek with edit mode's keys and
// rules, each seek drawing the warm-up that heptad-capture --still draws. The page reaches it
// through the C functions below, exported by the build.

// Made right after start-up, before any frame: the session keeps the state start-up leaves. Its
// wall clock is the clock at its speed (the page's speed=). With gentle (the start card's "reduce
// flashing" switch) every frame drawn goes through the flash limiter.
void startPagePlayer(GLFWwindow* window, bool gentle);

struct PlayedFrame {
    double time; // the demo's seconds drawn, or reached at the end
    bool timeUp; // playing reached the demo's end: nothing was drawn
    bool held;   // it went through the flash limiter
};
// One animation frame: the keys pressed since the last one, the music (first frame only), then
// the frame at the session's time, and for a gentle viewing the limiter's pass over it. A seek
// starts a new viewing: the limiter then holds nothing back for what was shown before it.
PlayedFrame playPageFrame(GLFWwindow* window);

extern "C" {
// The player's position in the demo's seconds (the live clock before the player starts).
double heptadDemoSeconds();
int heptadPaused();
void heptadSetPaused(int paused);
void heptadSeek(double seconds);
// Where the page's scrub bar marks a scene change: the i-th move target, or -1 past the last.
double heptadSceneStart(int i);
// The demo's length in seconds.
double heptadDuration();
}
