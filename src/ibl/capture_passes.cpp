#include "ibl/capture_passes.h"

#include "ibl/ibl.h"
#include "render/gl.h"
#include "render/meshes.h"

// An RGB16F cube map with clamped edges and no data yet.
void allocateCubeMap(unsigned int& cubeMap, int size, int minFilter) {
    // A map made before is drawn again in its own name, so whatever holds the name keeps it.
    if (cubeMap == 0) {
        glGenTextures(1, &cubeMap);
    }
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMap);
    for (unsigned int i = 0; i < 6; ++i) {
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i, 0, GL_RGB16F, size, size, 0, GL_RGB,
                     GL_FLOAT, nullptr);
    }
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

// Renders the six faces of one level of cubeMap with the program that is current.
void captureFaces(const Shader& shader, unsigned int cubeMap, int level) {
    for (unsigned int i = 0; i < 6; ++i) {
        shader.setUniformMat4("view", captureViews[i]);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                               GL_TEXTURE_CUBE_MAP_POSITIVE_X + i, cubeMap, level);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawCube();
    }
}
