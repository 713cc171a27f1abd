#pragma once
// A picture being composed: linear-light RGB floats, plus coverage masks that say where paint
// goes. Shapes and text are drawn into masks; masks are blurred into glows and shadows and
// composited onto the canvas; the canvas is written as an 8-bit sRGB PNG.

#include "big_buffer.h"
#include "imagekit/color.h"

#include <string>
#include <vector>

struct Mask {
    Mask(int w, int h) : width(w), height(h), a(static_cast<size_t>(w) * h, 0.0f) {}
    float at(int x, int y) const { return a[static_cast<size_t>(y) * width + x]; }
    float& at(int x, int y) { return a[static_cast<size_t>(y) * width + x]; }

    int width;
    int height;
    BigVector<float> a; // coverage, 0..1 (a blurred mask may be scaled above 1)
};

// A Gaussian blur of standard deviation sigma pixels (three box passes, outside counts as 0).
Mask blurred(const Mask& mask, float sigma);

// Union of two masks of one size (coverage added, clamped to 1).
void addInto(Mask& target, const Mask& source, float scale = 1.0f);

class Canvas {
  public:
    Canvas(int w, int h);
    int width() const { return w; }
    int height() const { return h; }
    Color get(int x, int y) const;
    void set(int x, int y, Color c);

    // Sets every pixel to colourAt(x, y), called with pixel-centre coordinates.
    template <class F> void fill(F colourAt) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                set(x, y, colourAt(x + 0.5f, y + 0.5f));
            }
        }
    }

    // Paint over what is there, through the mask: colour c with the mask's coverage.
    template <class F> void paint(const Mask& mask, F colourAt, float opacity = 1.0f) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const float cover = clamp01(mask.at(x, y) * opacity);
                if (cover > 0.0f) {
                    set(x, y, mix(get(x, y), colourAt(x + 0.5f, y + 0.5f), cover));
                }
            }
        }
    }
    void paint(const Mask& mask, Color c, float opacity = 1.0f) {
        paint(
            mask, [c](float, float) { return c; }, opacity);
    }

    // Light added through the mask, for glows: pixel += c * mask * strength.
    void glow(const Mask& mask, Color c, float strength);

    // Darkens through the mask, for shadows: pixel *= 1 - mask * amount.
    void shade(const Mask& mask, float amount);

    // Writes an 8-bit RGB PNG, sRGB-encoded and dithered with a fixed pattern so that dark
    // gradients do not band. downscale > 1 box-filters first and leaves out the dither (for
    // small previews).
    bool writePng(const std::string& path, int downscale = 1) const;

  private:
    int w;
    int h;
    BigVector<float> rgb;
};
