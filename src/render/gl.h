#pragma once
// One include for GL and the window library: libepoxy provides the GL entry points, so GLFW
// must not pull in a GL header of its own.
#include <epoxy/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
