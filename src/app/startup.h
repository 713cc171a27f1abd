#pragma once
struct GLFWwindow;

// The one-time work between a current context and the first frame: global GL state, the
// image-based lighting precompute, then the scene resources.
void runStartUp(GLFWwindow* window);
