#pragma once
// One include for GL and the window library. Natively libepoxy provides the GL entry points, so
// GLFW must not pull in a GL header of its own. The browser build draws with WebGL 2, whose
// header also stands in for the few desktop calls WebGL 2 lacks.
#ifdef __EMSCRIPTEN__
#include "render/web/gl_web.h"
#else
#include <epoxy/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#endif
