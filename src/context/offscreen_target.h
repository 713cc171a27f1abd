#pragma once
#include <string>
#include <vector>

// The picture a recording reads back: a framebuffer object of the requested size that stands in
// for the live program's window. The recorder's context has no window or surface of its own, so
// every frame is drawn here.
//
// Frames are read back through two pixel-pack buffers, one frame behind the renderer: the copy
// of frame n is only queued after it is drawn, and its bytes are taken while frame n+1 renders.
// A GPU then draws one frame while the one before travels to the encoder, instead of the CPU
// waiting for each picture to finish and copy; frames still come out whole and in order.
class OffscreenTarget {
  public:
    OffscreenTarget() = default;
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;
    ~OffscreenTarget();

    // Colour RGBA8 and depth 24 / stencil 8, as the window's default framebuffer has them.
    bool create(int width, int height, std::string& error);
    // Makes it the draw and read target with the viewport covering it, as the window's
    // framebuffer is for the live program.
    void bind() const;
    // The current picture, RGBA, rows bottom-up as GL stores them, read at once.
    void read(std::vector<unsigned char>& rgba) const;
    size_t frameBytes() const { return static_cast<size_t>(width) * height * 4; }

    // Queues the copy of the current picture. Call it at most twice before taking one.
    void queue();
    // Frames queued and not yet taken.
    int pending() const { return queued; }
    // The oldest queued frame, RGBA, rows bottom-up; valid until release().
    const unsigned char* take();
    void release();

  private:
    int width = 0;
    int height = 0;
    unsigned int framebuffer = 0;
    unsigned int colour = 0;
    unsigned int depthStencil = 0;
    unsigned int buffers[2] = {0, 0};
    int next = 0;   // the buffer the next queue() fills
    int queued = 0; // frames in the buffers, 0 to 2
    int oldest() const { return (next + 2 - queued) % 2; }
    // The picture into client memory, or at that offset of the bound pixel-pack buffer.
    void readInto(void* destination) const;
};

// A bottom-up RGBA picture as the bytes of an RGB PNG, top row first; "" when it cannot be made.
std::string encodePng(int width, int height, const std::vector<unsigned char>& rgba);
