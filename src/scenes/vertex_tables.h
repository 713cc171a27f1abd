#pragma once
#include <array>

// The fixed vertex tables of the cube and card scenes, free of GL.

// 36 vertices of position (x, y, z) and colour (r, g, b): 216 floats, 864 bytes each.
constexpr int cubeTableFloats = 36 * 6;
using CubeTable = std::array<float, cubeTableFloats>;
extern const CubeTable plainCubeTable;
extern const CubeTable splitCubeTable;
// The same two with some positions moved.
extern const CubeTable warpedCubeTable;
extern const CubeTable warpedSplitCubeTable;

// The card: a unit square in z = 0, four vertices of position, colour, uv (128 bytes), drawn
// as two indexed triangles.
extern const float cardTable[4 * 8];
extern const unsigned int cardIndices[6];
