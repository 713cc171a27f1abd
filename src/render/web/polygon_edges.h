#pragma once
#include <vector>

// WebGL 2 has no polygon modes: a wireframe is drawn as lines along the edges of each triangle.
// Given the vertex numbers of a GL_TRIANGLES (4) or GL_TRIANGLE_STRIP (5) draw, in draw order,
// returns pairs of vertex numbers, three per triangle: (a, b), (b, c), (c, a). A strip's
// triangles are its consecutive triples. Any other mode yields no lines. GL-free so that it can
// be checked directly.
std::vector<unsigned int> triangleEdgeLines(unsigned int mode,
                                            const std::vector<unsigned int>& vertices);
