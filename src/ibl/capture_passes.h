#pragma once
// The steps every capture pass of the lighting precompute shares.
#include "render/shader.h"

// An RGB16F cube map of size x size per face with clamped edges and no data yet, left bound. A
// cube map that exists already (a name other than 0) gets fresh storage under the same name.
void allocateCubeMap(unsigned int& cubeMap, int size, int minFilter);

// Renders the six faces of one level of cubeMap into the capture framebuffer, which must be
// bound, with shader current: one face view each, drawn as the unit cube.
void captureFaces(const Shader& shader, unsigned int cubeMap, int level);
