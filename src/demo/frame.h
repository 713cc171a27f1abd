#pragma once
struct GLFWwindow;

enum class FrameEnd { Present, TimeUp };

// One frame up to the buffer swap: keys, the clock, the music (first frame only), the timeline.
// TimeUp means the demo's 164 seconds are over and the frame must not be presented.
FrameEnd runFrame(GLFWwindow* window, bool& musicStarted);
