#pragma once
struct GLFWwindow;

// Polled at the start of every frame: Escape asks the window to close after this frame.
void handleKeys(GLFWwindow* window);
