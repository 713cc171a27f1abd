#pragma once
#include "flash/flash_hold.h"
#include "render/shader.h"

#include <vector>

// The gentle mode's pass over the finished picture: the frame in the bound framebuffer is read
// as 160 x 90 cell means, FlashHold decides each cell's hold, and where anything is held the
// picture is drawn again, each pixel mixed in linear light towards the picture shown the frame
// before. Where nothing is held the frame stays as drawn. Every piece of GL state it touches is
// put back, so the next frame's scene sees what the last one left.
class FlashLimiter {
  public:
    // Builds its programs (labShaders/flash_limit.*); call with the context current.
    FlashLimiter();
    FlashLimiter(const FlashLimiter&) = delete;
    FlashLimiter& operator=(const FlashLimiter&) = delete;
    // Its GL objects are never deleted: they live as long as the context, which may be gone by
    // the time this is (as the scenes' programs do).

    // Limits the picture of this size in the bound draw framebuffer, shown at these demo seconds.
    void apply(int width, int height, double seconds);
    // The next frame starts a new viewing: nothing is held back for what came before.
    void reset();

  private:
    Shader cellProgram;
    Shader blendProgram;
    unsigned int vertexArray = 0;
    unsigned int drawn = 0;       // the frame as drawn, copied out of the framebuffer
    unsigned int shown = 0;       // the picture shown the frame before
    unsigned int cellTexture = 0; // the cell means, 160 x 90
    unsigned int cellFramebuffer = 0;
    unsigned int holdTexture = 0; // 160 x 90, one byte a cell
    int width = 0;
    int height = 0;
    FlashHold hold;
    std::vector<unsigned char> cellBytes;
    std::vector<float> cellRgb;
    std::vector<unsigned char> holdBytes;

    void resize(int width, int height);
};
