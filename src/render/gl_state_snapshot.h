#pragma once
#include <array>

// The GL state that the scenes leave to each other and that the passes drawn over or between
// their frames (edit mode's overlay and reloads, the flash limiter) touch, read in one go and put
// back in one go: the enables, polygon mode and offset, line width, clear colour, colour mask,
// depth function, viewport, the bound program, vertex array, buffers and framebuffers, the active
// unit and the 2D and cube textures of the first four units, blending and unpack alignment.
struct GlStateSnapshot {
    static constexpr int units = 4;
    static constexpr int capCount = 14;

    std::array<unsigned char, capCount> enabled{};
    float offsetFactor = 0.0f;
    float offsetUnits = 0.0f;
    int polygonMode = 0;
    float lineWidth = 1.0f;
    std::array<float, 4> clearColor{};
    std::array<unsigned char, 4> colourMask{};
    int depthFunc = 0;
    std::array<int, 4> viewport{};
    int program = 0;
    int vertexArray = 0;
    int arrayBuffer = 0;
    int packBuffer = 0;
    int unpackBuffer = 0;
    int drawFramebuffer = 0;
    int readFramebuffer = 0;
    int renderbuffer = 0;
    int activeTexture = 0;
    std::array<int, units> texture2D{};
    std::array<int, units> textureCube{};
    int blendSource = 0;
    int blendDestination = 0;
    int unpackAlignment = 4;
};

GlStateSnapshot readGlState();
void restoreGlState(const GlStateSnapshot& state);
