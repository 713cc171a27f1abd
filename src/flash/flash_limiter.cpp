#include "flash/flash_limiter.h"

#include "flash/flash_signal.h"
#include "render/gl.h"
#include "render/gl_state_snapshot.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
constexpr int gridWidth = FlashHold::gridWidth;
constexpr int gridHeight = FlashHold::gridHeight;

void makeTexture(unsigned int& name, GLenum internalFormat, GLenum format, int w, int h) {
    if (name == 0) {
        glGenTextures(1, &name);
    }
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, w, h, 0, format, GL_UNSIGNED_BYTE, nullptr);
    // Read with texelFetch only; nearest filtering without mipmaps keeps it complete.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

} // namespace

FlashLimiter::FlashLimiter()
    : cellProgram("labShaders/flash_limit.vs", "labShaders/flash_limit.fs"),
      blendProgram("labShaders/flash_limit.vs", "labShaders/flash_limit.fs"),
      cellBytes(FlashHold::cells * 4), cellRgb(FlashHold::cells * 3), holdBytes(FlashHold::cells) {
    const GlStateSnapshot saved = readGlState();
    glGenVertexArrays(1, &vertexArray);
    makeTexture(cellTexture, GL_RGBA8, GL_RGBA, gridWidth, gridHeight);
    makeTexture(holdTexture, GL_R8, GL_RED, gridWidth, gridHeight);
    glGenFramebuffers(1, &cellFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, cellFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, cellTexture, 0);
    // One fragment file holds both passes; each program picks its own.
    cellProgram.activate();
    cellProgram.setUniformInt("limiterPass", 0);
    cellProgram.setUniformInt("drawn", 0);
    blendProgram.activate();
    blendProgram.setUniformInt("limiterPass", 1);
    blendProgram.setUniformInt("drawn", 0);
    blendProgram.setUniformInt("shown", 1);
    blendProgram.setUniformInt("hold", 2);
    restoreGlState(saved);
}

void FlashLimiter::reset() {
    hold.reset();
}

void FlashLimiter::resize(int w, int h) {
#ifdef __EMSCRIPTEN__
    // The page's canvas has no alpha, and WebGL copies a framebuffer only into a texture of no
    // more channels than it has.
    makeTexture(drawn, GL_RGB8, GL_RGB, w, h);
    makeTexture(shown, GL_RGB8, GL_RGB, w, h);
#else
    makeTexture(drawn, GL_RGBA8, GL_RGBA, w, h);
    makeTexture(shown, GL_RGBA8, GL_RGBA, w, h);
#endif
    width = w;
    height = h;
    hold.reset();
}

void FlashLimiter::apply(int w, int h, double seconds) {
    if (w < 1 || h < 1) {
        return;
    }
    // Every piece of state the pass changes is in the snapshot, and put back at the end.
    const GlStateSnapshot saved = readGlState();
    const unsigned int target = static_cast<unsigned int>(saved.drawFramebuffer);
    glActiveTexture(GL_TEXTURE0);
    if (w != width || h != height) {
        resize(w, h);
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_RASTERIZER_DISCARD);
    glDisable(GL_FRAMEBUFFER_SRGB);
    // Filled in a scene's wireframe or point phase too (the page's draws honour the mode).
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glBindVertexArray(vertexArray);

    // The frame as drawn, out of the framebuffer it was drawn in.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target);
    glBindTexture(GL_TEXTURE_2D, drawn);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, w, h);

    // Its cell means, read back: a few kilobytes.
    glBindFramebuffer(GL_FRAMEBUFFER, cellFramebuffer);
    glViewport(0, 0, gridWidth, gridHeight);
    cellProgram.activate();
    glUniform2i(glGetUniformLocation(cellProgram.programId, "size"), w, h);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glReadPixels(0, 0, gridWidth, gridHeight, GL_RGBA, GL_UNSIGNED_BYTE, cellBytes.data());
    const std::array<float, 256>& linear = flashsignal::linearTable();
    for (int i = 0; i < FlashHold::cells; ++i) {
        for (int c = 0; c < 3; ++c) {
            cellRgb[i * 3 + c] = linear[cellBytes[i * 4 + c]];
        }
    }

    const std::vector<float>& holds = hold.plan(cellRgb, seconds);
    bool anyHeld = false;
    for (int i = 0; i < FlashHold::cells; ++i) {
        holdBytes[i] = static_cast<unsigned char>(std::lround(holds[i] * 255.0f));
        anyHeld = anyHeld || holdBytes[i] != 0;
    }
    if (anyHeld) {
        glBindTexture(GL_TEXTURE_2D, holdTexture);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, gridWidth, gridHeight, GL_RED, GL_UNSIGNED_BYTE,
                        holdBytes.data());
        glBindFramebuffer(GL_FRAMEBUFFER, target);
        glViewport(0, 0, w, h);
        blendProgram.activate();
        glUniform2i(glGetUniformLocation(blendProgram.programId, "size"), w, h);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, drawn);
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, shown);
        glActiveTexture(GL_TEXTURE2);
        glBindTexture(GL_TEXTURE_2D, holdTexture);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        // What was shown is now the limited picture: copied into the drawn copy, which is done.
        glActiveTexture(GL_TEXTURE0);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, target);
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, w, h);
    }
    // Either way the drawn copy now holds the picture shown.
    std::swap(drawn, shown);
    restoreGlState(saved);
}
