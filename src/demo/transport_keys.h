#pragma once
#include <vector>

class DemoSession;
struct GLFWwindow;

// A key pressed or repeated, kept for the next frame: a move then draws, and draws within it.
struct KeyPress {
    int key;
    int mods;
};
// From now on the window's presses and repeats are kept, for takeKeyPresses to hand over.
void keepKeyPresses(GLFWwindow* window);
// The presses kept since the last call, in order.
std::vector<KeyPress> takeKeyPresses();

// The transport's keys, one set for edit mode and the browser page's player (GLFW key codes and
// modifier bits): Space pauses or resumes; the arrows move a beat, a bar with Shift; comma and
// period step a frame while paused; Page Down and Page Up go to the next scene's start and back to
// this one's (or the previous one's, within a second of a start); Home goes to the start.
// Returns whether the key was one of them.
bool applyTransportKey(DemoSession& session, int key, int mods);
