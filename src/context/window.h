#pragma once
struct GLFWwindow;

// The GLFW half of the context library (headless_gl.h is the other): a window whose OpenGL 3.3
// core context is current, for the live program and for whatever needs a real window.

// Hints the context every window of ours asks for: OpenGL 3.3, core profile, and a debug context
// (KHR_debug messages) when asked, which only the GL-error check does. Other hints set before or
// after it are kept.
void hintGl33CoreContext(bool debug = false);

// The live program's window, after glfwInit: the context hints and a 60 Hz refresh hint, then a
// 1920x1080 window, either fullscreen on the primary monitor with the cursor hidden and captured,
// or (inWindow) a resizable desktop window with the cursor left alone. Once it exists its
// context is made current and the viewport follows its framebuffer. Null when it cannot be
// created.
GLFWwindow* openPlayerWindow(bool inWindow);

// A desktop window of this size with that context, after glfwInit: made current, its viewport
// following its framebuffer as the live program's does. Null when it cannot be created.
GLFWwindow* openDesktopWindow(int width, int height, const char* title, bool debug = false);

// Framebuffer-size callback: the viewport follows the framebuffer.
void onFramebufferSize(GLFWwindow* window, int width, int height);

// True when the current context offers OpenGL 3.3 or later; libepoxy resolves the entry points
// itself, so a context below 3.3 is the one way loading them can fail.
bool glEntryPointsLoaded();

// The loader-failure exit: the message, then the window library is shut down (so a fullscreen
// window hands the monitor's video mode back), and -1 for main to return.
int failGlLoader();
