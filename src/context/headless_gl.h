#pragma once
#include <string>

// The EGL half of the context library (window.h is the other): the same OpenGL 3.3 core context
// with no window, for the recorder and for the tests that need only a context.

// Makes the recorder's OpenGL 3.3 core context current on this thread, through EGL with no
// window, no surface and no X server: on a GPU when EGL lists one (or on the device `gpu` names,
// an index into EGL's list of devices), else on Mesa's software renderer through its surfaceless
// platform. Frames are drawn into an OffscreenTarget. Returns where the context came from ("EGL
// device N" or "Mesa's surfaceless EGL platform"), or "" with one line saying why not. A debug
// context (KHR_debug messages) is made when asked, as the GL-error check asks.
std::string makeHeadlessContext(int gpu, std::string& error, bool debug = false);
