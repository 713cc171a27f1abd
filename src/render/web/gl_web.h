#pragma once
// WebGL 2 through Emscripten's OpenGL ES 3.0 header and its GLFW. The desktop calls that WebGL 2
// lacks or restricts are routed to stand-ins (gl_stand_ins.h), so the scenes are the same source
// on both targets.
#include <GLES3/gl3.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "render/web/gl_stand_ins.h"

#define glEnable webEnable
#define glDisable webDisable
#define glPolygonMode webPolygonMode
#define glIsEnabled webIsEnabled
#define glGetIntegerv webGetIntegerv
#define glDrawArrays webDrawArrays
#define glDrawElements webDrawElements
#define glTexImage2D webTexImage2D
#define glShaderSource webShaderSource
