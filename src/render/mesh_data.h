#pragma once
#include <vector>

// The generated meshes as plain data, free of GL so they can be checked directly.

// 36 vertices (12 triangles), faces -Z, +Z, -X, +X, -Y, +Y; position, normal, uv per vertex.
constexpr int cubeVertexCount = 36;
extern const float cubeVertexTable[cubeVertexCount * 8];

// A clip-space quad as a 4-vertex triangle strip; position, uv per vertex.
constexpr int quadVertexCount = 4;
extern const float quadVertexTable[quadVertexCount * 5];

// A unit UV sphere on a 65 x 65 grid, interleaved as position, normal, uv (8 floats a
// vertex), drawn as one triangle strip of 8320 indices.
struct SphereMesh {
    std::vector<float> vertices;
    std::vector<unsigned int> indices;
};
SphereMesh buildSphereMesh();
