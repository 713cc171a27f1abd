#pragma once
#include <string>
#include <vector>

// The picture a recording reads back: a framebuffer object of the requested size that stands in
// for the live program's window. The recorder's context has no window or surface of its own, so
// every frame is drawn here.
class OffscreenTarget {
  public:
    // Colour RGBA8 and depth 24 / stencil 8, as the window's default framebuffer has them.
    bool create(int width, int height, std::string& error);
    // Makes it the draw and read target with the viewport covering it, as the window's
    // framebuffer is for the live program.
    void bind() const;
    // The current picture, RGBA, rows bottom-up as GL stores them.
    void read(std::vector<unsigned char>& rgba) const;
    // The same into client memory, or at that offset of the bound pixel-pack buffer.
    void readInto(void* destination) const;
    size_t frameBytes() const { return static_cast<size_t>(width) * height * 4; }

  private:
    int width = 0;
    int height = 0;
    unsigned int framebuffer = 0;
    unsigned int colour = 0;
    unsigned int depthStencil = 0;
};

// Writes a bottom-up RGBA picture as an RGB PNG, top row first.
bool writePng(const std::string& path, int width, int height,
              const std::vector<unsigned char>& rgba, std::string& error);
