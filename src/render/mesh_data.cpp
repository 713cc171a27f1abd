#include "render/mesh_data.h"

#include <cmath>

// clang-format off
const float cubeVertexTable[cubeVertexCount * 8] = {
    // back face
    -1.0f, -1.0f, -1.0f,  0.0f,  0.0f, -1.0f, 0.0f, 0.0f,
     1.0f,  1.0f, -1.0f,  0.0f,  0.0f, -1.0f, 1.0f, 1.0f,
     1.0f, -1.0f, -1.0f,  0.0f,  0.0f, -1.0f, 1.0f, 0.0f,
     1.0f,  1.0f, -1.0f,  0.0f,  0.0f, -1.0f, 1.0f, 1.0f,
    -1.0f, -1.0f, -1.0f,  0.0f,  0.0f, -1.0f, 0.0f, 0.0f,
    -1.0f,  1.0f, -1.0f,  0.0f,  0.0f, -1.0f, 0.0f, 1.0f,
    // front face
    -1.0f, -1.0f,  1.0f,  0.0f,  0.0f,  1.0f, 0.0f, 0.0f,
     1.0f, -1.0f,  1.0f,  0.0f,  0.0f,  1.0f, 1.0f, 0.0f,
     1.0f,  1.0f,  1.0f,  0.0f,  0.0f,  1.0f, 1.0f, 1.0f,
     1.0f,  1.0f,  1.0f,  0.0f,  0.0f,  1.0f, 1.0f, 1.0f,
    -1.0f,  1.0f,  1.0f,  0.0f,  0.0f,  1.0f, 0.0f, 1.0f,
    -1.0f, -1.0f,  1.0f,  0.0f,  0.0f,  1.0f, 0.0f, 0.0f,
    // left face
    -1.0f,  1.0f,  1.0f, -1.0f,  0.0f,  0.0f, 1.0f, 0.0f,
    -1.0f,  1.0f, -1.0f, -1.0f,  0.0f,  0.0f, 1.0f, 1.0f,
    -1.0f, -1.0f, -1.0f, -1.0f,  0.0f,  0.0f, 0.0f, 1.0f,
    -1.0f, -1.0f, -1.0f, -1.0f,  0.0f,  0.0f, 0.0f, 1.0f,
    -1.0f, -1.0f,  1.0f, -1.0f,  0.0f,  0.0f, 0.0f, 0.0f,
    -1.0f,  1.0f,  1.0f, -1.0f,  0.0f,  0.0f, 1.0f, 0.0f,
    // right face
     1.0f,  1.0f,  1.0f,  1.0f,  0.0f,  0.0f, 1.0f, 0.0f,
     1.0f, -1.0f, -1.0f,  1.0f,  0.0f,  0.0f, 0.0f, 1.0f,
     1.0f,  1.0f, -1.0f,  1.0f,  0.0f,  0.0f, 1.0f, 1.0f,
     1.0f, -1.0f, -1.0f,  1.0f,  0.0f,  0.0f, 0.0f, 1.0f,
     1.0f,  1.0f,  1.0f,  1.0f,  0.0f,  0.0f, 1.0f, 0.0f,
     1.0f, -1.0f,  1.0f,  1.0f,  0.0f,  0.0f, 0.0f, 0.0f,
    // bottom face
    -1.0f, -1.0f, -1.0f,  0.0f, -1.0f,  0.0f, 0.0f, 1.0f,
     1.0f, -1.0f, -1.0f,  0.0f, -1.0f,  0.0f, 1.0f, 1.0f,
     1.0f, -1.0f,  1.0f,  0.0f, -1.0f,  0.0f, 1.0f, 0.0f,
     1.0f, -1.0f,  1.0f,  0.0f, -1.0f,  0.0f, 1.0f, 0.0f,
    -1.0f, -1.0f,  1.0f,  0.0f, -1.0f,  0.0f, 0.0f, 0.0f,
    -1.0f, -1.0f, -1.0f,  0.0f, -1.0f,  0.0f, 0.0f, 1.0f,
    // top face
    -1.0f,  1.0f, -1.0f,  0.0f,  1.0f,  0.0f, 0.0f, 1.0f,
     1.0f,  1.0f,  1.0f,  0.0f,  1.0f,  0.0f, 1.0f, 0.0f,
     1.0f,  1.0f, -1.0f,  0.0f,  1.0f,  0.0f, 1.0f, 1.0f,
     1.0f,  1.0f,  1.0f,  0.0f,  1.0f,  0.0f, 1.0f, 0.0f,
    -1.0f,  1.0f, -1.0f,  0.0f,  1.0f,  0.0f, 0.0f, 1.0f,
    -1.0f,  1.0f,  1.0f,  0.0f,  1.0f,  0.0f, 0.0f, 0.0f,
};

const float quadVertexTable[quadVertexCount * 5] = {
    -1.0f,  1.0f, 0.0f, 0.0f, 1.0f,
    -1.0f, -1.0f, 0.0f, 0.0f, 0.0f,
     1.0f,  1.0f, 0.0f, 1.0f, 1.0f,
     1.0f, -1.0f, 0.0f, 1.0f, 0.0f,
};
// clang-format on

SphereMesh buildSphereMesh() {
    const unsigned int segments = 64;
    const float step = 0.015625f; // 1 / 64
    const float pi = 3.1415927f;

    std::vector<float> positions, uvs, normals;
    for (unsigned int i = 0; i <= segments; ++i) {
        for (unsigned int j = 0; j <= segments; ++j) {
            const float u = static_cast<float>(i) * step;
            const float v = static_cast<float>(j) * step;
            const float azimuth = (u + u) * pi;
            const float polar = v * pi;
            const float x = std::cos(azimuth) * std::sin(polar);
            const float y = std::cos(polar);
            const float z = std::sin(azimuth) * std::sin(polar);
            positions.insert(positions.end(), {x, y, z});
            uvs.insert(uvs.end(), {u, v});
            normals.insert(normals.end(), {x, y, z});
        }
    }

    // Strips alternate direction, so each begins at the pole where the last one ended and the
    // joins are zero-area triangles: one strip primitive covers the whole sphere.
    SphereMesh mesh;
    bool oddRow = false;
    for (unsigned int s = 0; s < segments; ++s) {
        if (!oddRow) {
            for (unsigned int j = 0; j <= segments; ++j) {
                mesh.indices.push_back(s * (segments + 1) + j);
                mesh.indices.push_back((s + 1) * (segments + 1) + j);
            }
        } else {
            for (int j = segments; j >= 0; --j) {
                mesh.indices.push_back((s + 1) * (segments + 1) + j);
                mesh.indices.push_back(s * (segments + 1) + j);
            }
        }
        oddRow = !oddRow;
    }

    const size_t vertexCount = positions.size() / 3;
    mesh.vertices.reserve(vertexCount * 8);
    for (size_t k = 0; k < vertexCount; ++k) {
        mesh.vertices.insert(mesh.vertices.end(), positions.begin() + 3 * k,
                             positions.begin() + 3 * k + 3);
        if (!normals.empty()) {
            mesh.vertices.insert(mesh.vertices.end(), normals.begin() + 3 * k,
                                 normals.begin() + 3 * k + 3);
        }
        if (!uvs.empty()) {
            mesh.vertices.insert(mesh.vertices.end(), uvs.begin() + 2 * k, uvs.begin() + 2 * k + 2);
        }
    }
    return mesh;
}
