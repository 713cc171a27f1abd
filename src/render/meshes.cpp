#include "render/meshes.h"

#include "render/gl.h"
#include "render/mesh_data.h"

unsigned int cubeVAO = 0, cubeVBO = 0;
unsigned int sphereVAO = 0;
int sphereIndexCount = 0;
unsigned int lightSphereVAO = 0;
int lightSphereIndexCount = 0;
unsigned int quadVAO = 0, quadVBO = 0;

namespace {
// Position at location 0, normal at 1, uv at 2; 8 floats (32 bytes) a vertex.
void pointPositionNormalUv() {
    const GLsizei stride = 8 * sizeof(float);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(0));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(3 * sizeof(float)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(6 * sizeof(float)));
}

void drawSphereInstance(unsigned int& vao, int& indexCount) {
    if (vao == 0) {
        glGenVertexArrays(1, &vao);
        unsigned int vbo = 0;
        unsigned int ebo = 0;
        glGenBuffers(1, &vbo);
        glGenBuffers(1, &ebo);
        const SphereMesh mesh = buildSphereMesh();
        indexCount = static_cast<int>(mesh.indices.size());
        glBindVertexArray(vao);
        glBindBuffer(GL_ARRAY_BUFFER, vbo);
        glBufferData(GL_ARRAY_BUFFER, mesh.vertices.size() * sizeof(float), mesh.vertices.data(),
                     GL_STATIC_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ebo);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, mesh.indices.size() * sizeof(unsigned int),
                     mesh.indices.data(), GL_STATIC_DRAW);
        pointPositionNormalUv();
    }
    glBindVertexArray(vao);
    glDrawElements(GL_TRIANGLE_STRIP, indexCount, GL_UNSIGNED_INT, nullptr);
}
} // namespace

void drawCube() {
    if (cubeVAO == 0) {
        glGenVertexArrays(1, &cubeVAO);
        glGenBuffers(1, &cubeVBO);
        glBindBuffer(GL_ARRAY_BUFFER, cubeVBO);
        glBufferData(GL_ARRAY_BUFFER, sizeof(cubeVertexTable), cubeVertexTable, GL_STATIC_DRAW);
        glBindVertexArray(cubeVAO);
        pointPositionNormalUv();
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindVertexArray(0);
    }
    glBindVertexArray(cubeVAO);
    glDrawArrays(GL_TRIANGLES, 0, cubeVertexCount);
    glBindVertexArray(0);
}

void drawSphere() {
    drawSphereInstance(sphereVAO, sphereIndexCount);
}

void drawLightSphere() {
    drawSphereInstance(lightSphereVAO, lightSphereIndexCount);
}

void drawQuad() {
    if (quadVAO == 0) {
        glGenVertexArrays(1, &quadVAO);
        glGenBuffers(1, &quadVBO);
        glBindVertexArray(quadVAO);
        glBindBuffer(GL_ARRAY_BUFFER, quadVBO);
        glBufferData(GL_ARRAY_BUFFER, sizeof(quadVertexTable), quadVertexTable, GL_STATIC_DRAW);
        const GLsizei stride = 5 * sizeof(float);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(0));
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<void*>(3 * sizeof(float)));
    }
    glBindVertexArray(quadVAO);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, quadVertexCount);
    glBindVertexArray(0);
}
