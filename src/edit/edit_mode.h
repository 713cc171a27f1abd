#pragma once
#include <string>

struct GLFWwindow;

// heptad --edit, after start-up: the frame loop of edit mode. Saved shaders and pictures are
// reloaded between two frames, keys move through the demo with the music in step, an overlay and
// the window title say where it is, and the demo holds its last frame instead of ending. Returns
// the program's exit status, or dies of a stop signal, as the live program does. It moves to
// fromSeconds first, unless that is negative (no --from).
int runEditMode(GLFWwindow* window, double fromSeconds);

// The line to print when the shader folders under the working folder cannot be edited in place
// (not writable, or installed by a package under /usr), saying how to edit a copy; "" when they
// can.
std::string readOnlyDataAdvice();
