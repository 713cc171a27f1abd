#pragma once
#include <GLES3/gl3.h>

// Desktop names the scenes use that the ES header lacks, with their desktop values.
#define GL_POINT 0x1B00
#define GL_LINE 0x1B01
#define GL_FILL 0x1B02
#define GL_LINE_SMOOTH 0x0B20
#define GL_POLYGON_OFFSET_POINT 0x2A01
#define GL_POLYGON_OFFSET_LINE 0x2A02
#define GL_PROGRAM_POINT_SIZE 0x8642
#define GL_PRIMITIVE_RESTART 0x8F9D
#define GL_TEXTURE_CUBE_MAP_SEAMLESS 0x884F
#define GL_POLYGON_MODE 0x0B40
#define GL_FRAMEBUFFER_SRGB 0x8DB9

// Capabilities WebGL 2 does not know are dropped: seamless cube filtering, the point size from
// the program and primitive restart (at the largest index) are always on there; line smoothing,
// offsets of lines and points and the sRGB switch of the framebuffer do not exist.
void webEnable(GLenum cap);
void webDisable(GLenum cap);

// Keeps the mode (GL_FILL, GL_LINE or GL_POINT) that the draws below honour.
void webPolygonMode(GLenum face, GLenum mode);

// For the player's snapshot of the state start-up leaves: the dropped capabilities read as off,
// and GL_POLYGON_MODE answers the kept mode for both faces.
GLboolean webIsEnabled(GLenum cap);
void webGetIntegerv(GLenum name, GLint* values);
// Triangles drawn in line mode become GL_LINES along each triangle's three edges, in point mode
// GL_POINTS at the same vertices; WebGL draws lines one pixel wide whatever glLineWidth says.
void webDrawArrays(GLenum mode, GLint first, GLsizei count);
void webDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices);

// WebGL 2 renders only into RGBA float images: an RGB16F image allocated without pixels (a
// render target) is allocated as RGBA16F. Unsized one- and two-channel 8-bit images, which ES
// does not accept, become R8 and RG8.
void webTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                   GLint border, GLenum format, GLenum type, const void* pixels);

// The shader files are written for "#version 330 core"; WebGL 2 compiles them as ES 3.00.
void webShaderSource(GLuint shader, GLsizei count, const GLchar* const* sources,
                     const GLint* lengths);
