#pragma once
#include "demo/transport.h"
#include "render/gl_state_snapshot.h"

// Edit mode's moves through the demo with the scenes' state and the music kept in step. Made
// right after start-up, before any frame, it keeps the state that start-up leaves; a move back
// puts that state back and draws the warm-up that --from draws, a move forward draws the
// warm-up frames between the two times, so that after any move the scenes carry what a viewer
// of the run up to there would have. The program is never restarted.
class DemoSession {
  public:
    // wallClock: the seconds of the wall clock (the window library's timer in the program).
    explicit DemoSession(double (*wallClock)());

    double time() const { return transport.time(wallClock()); }
    bool paused() const { return transport.paused(); }

    // Starts the music at the clock's position; the first frame calls it, as the live program
    // does.
    void startMusic();
    void togglePause();
    // Moves to these seconds (clamped to the demo); the picture and the music go on from there
    // together, or stay held when paused.
    void moveTo(double seconds);
    void moveBy(double seconds) { moveTo(time() + seconds); }
    // One 60 Hz frame forward or back; only while paused.
    void stepFrame(int direction);
    void nextScene() { moveTo(nextSceneStart(time())); }
    void previousScene() { moveTo(sceneStartBack(time())); }
    // How many moves there have been: a viewer sees each as a cut, not as the demo going on.
    unsigned moves() const { return moveCount; }

    // Draws the frame at the clock's time as the recorder draws it, holding at the end of the
    // demo (paused, music included). Returns the time drawn.
    double drawFrame();

    // A program that a reload replaced: the state kept from start-up names the new one.
    void renameProgram(unsigned int old, unsigned int replacement);

  private:
    double (*wallClock)();
    Transport transport;
    GlStateSnapshot startUpState;
    double drawnUpTo = -1.0; // the time of the last frame drawn, whose state the scenes hold
    bool musicStarted = false;
    unsigned moveCount = 0;

    void restoreStartUpState();
};
