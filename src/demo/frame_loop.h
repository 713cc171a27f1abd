#pragma once
#include "demo/frame.h"

#include <functional>

// The frame loop of a window, which the player and edit mode share: unless the window is closed
// already or a stop signal has come, frames are drawn by step and presented (buffer swap, event
// poll) until the window is closed, a stop signal comes, or a frame ends the demo (TimeUp), which
// is not presented. Returns how the last frame ended: Present after a close or a signal.
FrameEnd runFrameLoop(GLFWwindow* window, const std::function<FrameEnd()>& step);
