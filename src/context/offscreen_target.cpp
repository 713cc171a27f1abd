#include "context/offscreen_target.h"

#include "render/gl.h"

#include <stb_image_write.h>

OffscreenTarget::~OffscreenTarget() {
    if (buffers[0] != 0) {
        glDeleteBuffers(2, buffers);
    }
}

bool OffscreenTarget::create(int w, int h, std::string& error) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    GLint maxViewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    if (w > maxSize || h > maxSize || w > maxViewport[0] || h > maxViewport[1]) {
        error = "this OpenGL driver renders at most " +
                std::to_string(std::min<int>(maxSize, maxViewport[0])) + "x" +
                std::to_string(std::min<int>(maxSize, maxViewport[1])) + " pixels";
        return false;
    }
    width = w;
    height = h;
    // Leave the state the scenes inherit from start-up as it was (renderbuffer binding, clear
    // colour); only the framebuffer binding differs from the live program, by design.
    GLint renderbufferBefore = 0;
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &renderbufferBefore);
    GLfloat clearBefore[4] = {0, 0, 0, 0};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearBefore);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glGenRenderbuffers(1, &depthStencil);
    glBindRenderbuffer(GL_RENDERBUFFER, depthStencil);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              depthStencil);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(renderbufferBefore));
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        error = "cannot make a " + std::to_string(width) + "x" + std::to_string(height) +
                " render target (framebuffer status " + std::to_string(status) + ")";
        return false;
    }
    // Start from black, as a fresh window does, in case the first frame draws nothing.
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glClearColor(clearBefore[0], clearBefore[1], clearBefore[2], clearBefore[3]);
    return true;
}

void OffscreenTarget::bind() const {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, width, height);
}

void OffscreenTarget::read(std::vector<unsigned char>& rgba) const {
    rgba.resize(frameBytes());
    readInto(rgba.data());
}

void OffscreenTarget::readInto(void* destination) const {
    // RGBA rows are whole multiples of 4 bytes, so any pack alignment a scene left is met.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, destination);
}

void OffscreenTarget::queue() {
    // Made on first use, so that a still needs no room for them.
    if (buffers[0] == 0) {
        glGenBuffers(2, buffers);
        for (unsigned int buffer : buffers) {
            glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
            glBufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(frameBytes()), nullptr,
                         GL_STREAM_READ);
        }
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers[next]);
    readInto(nullptr); // offset 0 of the bound pack buffer
    // Unbound between calls: with a pack buffer bound, every other glReadPixels would write
    // into it instead of client memory.
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    next ^= 1;
    ++queued;
}

const unsigned char* OffscreenTarget::take() {
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers[oldest()]);
    return static_cast<const unsigned char*>(glMapBufferRange(
        GL_PIXEL_PACK_BUFFER, 0, static_cast<GLsizeiptr>(frameBytes()), GL_MAP_READ_BIT));
}

void OffscreenTarget::release() {
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers[oldest()]);
    glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    --queued;
}

std::string encodePng(int width, int height, const std::vector<unsigned char>& rgba) {
    // Alpha is whatever the scenes cleared it to (0.7 for most), which a screen ignores.
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i) {
        rgb[3 * i] = rgba[4 * i];
        rgb[3 * i + 1] = rgba[4 * i + 1];
        rgb[3 * i + 2] = rgba[4 * i + 2];
    }
    stbi_flip_vertically_on_write(1);
    // Into memory: stb's own file writer ignores what its writes return.
    std::string png;
    const auto append = [](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                                   static_cast<size_t>(size));
    };
    if (stbi_write_png_to_func(append, &png, width, height, 3, rgb.data(), width * 3) == 0) {
        return "";
    }
    return png;
}
