#pragma once

// The fixed vertex tables of the cube and card scenes, free of GL.

// 36 vertices of position (x, y, z) and colour (r, g, b): 216 floats, 864 bytes each.
constexpr int cubeTableFloats = 36 * 6;
extern const float plainCubeTable[cubeTableFloats];
extern const float warpedCubeTable[cubeTableFloats];
extern const float splitCubeTable[cubeTableFloats];
extern const float warpedSplitCubeTable[cubeTableFloats];

// The card: a unit square in z = 0, four vertices of position, colour, uv (128 bytes), drawn
// as two indexed triangles.
extern const float cardTable[4 * 8];
extern const unsigned int cardIndices[6];
