#include "capture/frame_readback.h"

#include "capture/offscreen_target.h"
#include "render/gl.h"

FrameReadback::~FrameReadback() {
    if (buffers[0] != 0) {
        glDeleteBuffers(2, buffers);
    }
}

void FrameReadback::create(const OffscreenTarget& target) {
    source = &target;
    glGenBuffers(2, buffers);
    for (unsigned int buffer : buffers) {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
        glBufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(target.frameBytes()), nullptr,
                     GL_STREAM_READ);
    }
    // Unbound between calls: with a pack buffer bound, every other glReadPixels would write
    // into it instead of client memory.
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

void FrameReadback::queue() {
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers[next]);
    source->readInto(nullptr); // offset 0 of the bound pack buffer
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    next ^= 1;
    ++queued;
}

const unsigned char* FrameReadback::take() {
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers[oldest()]);
    return static_cast<const unsigned char*>(glMapBufferRange(
        GL_PIXEL_PACK_BUFFER, 0, static_cast<GLsizeiptr>(source->frameBytes()), GL_MAP_READ_BIT));
}

void FrameReadback::release() {
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers[oldest()]);
    glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    --queued;
}
