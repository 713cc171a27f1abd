#pragma once
#include <array>
#include <glm/glm.hpp>

// The matrices and level tables of the lighting precompute, kept free of GL so that they can
// be checked element by element.

// 90-degree square projection that makes each capture view cover exactly one cube face.
glm::mat4 makeCaptureProjection();
// Look-at matrices from the origin towards +X, -X, +Y, -Y, +Z, -Z, with the up vectors that give
// GL's cube-face orientation; entry i renders face GL_TEXTURE_CUBE_MAP_POSITIVE_X + i.
std::array<glm::mat4, 6> makeCaptureViews();
// The projection the lit finale programs start with: fovDegrees vertically, fixed 16:9 aspect.
glm::mat4 makeStartUpProjection(float fovDegrees);

// Pre-filter level mip: its face size (128 halved per level, in double and truncated) and the
// roughness it is filtered for (mip / 4).
int prefilterLevelSize(int mip);
float prefilterLevelRoughness(int mip);
