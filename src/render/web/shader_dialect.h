#pragma once
#include <string>

// The same shader source in the OpenGL ES 3.0 dialect that WebGL 2 compiles: a leading
// "#version 330 core" line becomes "#version 300 es" with high default precisions, and a #line
// directive keeps the line numbers of compile errors those of the file. Any other source is
// returned as it is.
std::string toEsDialect(const std::string& source);
