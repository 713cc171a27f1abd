#pragma once
struct GLFWwindow;
class FlashLimiter;

enum class FrameEnd { Present, TimeUp };

// One frame of the live demo up to the buffer swap, the step that the player's loop and the
// browser's animation frames run: keys, the clock, the music (first frame only), the demo on the
// live clock, and for a gentle viewing the flash limiter's pass over the window's picture.
// TimeUp means the demo's 164 seconds are over and the frame must not be presented.
FrameEnd runFrame(GLFWwindow* window, bool& musicStarted, FlashLimiter* limiter = nullptr);
