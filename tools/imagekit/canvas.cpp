#include "imagekit/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stb_image_write.h>

namespace {
// One box pass along rows (dx = 1) or columns; out-of-range samples count as 0.
void boxPass(const std::vector<float>& src, std::vector<float>& dst, int w, int h, int radius,
             bool alongRows) {
    const int length = alongRows ? w : h;
    const int lines = alongRows ? h : w;
    const float norm = 1.0f / (2 * radius + 1);
    for (int line = 0; line < lines; ++line) {
        auto index = [&](int i) {
            return alongRows ? static_cast<size_t>(line) * w + i
                             : static_cast<size_t>(i) * w + line;
        };
        double sum = 0.0;
        for (int i = 0; i <= std::min(radius, length - 1); ++i) {
            sum += src[index(i)];
        }
        for (int i = 0; i < length; ++i) {
            dst[index(i)] = static_cast<float>(sum) * norm;
            const int enter = i + radius + 1;
            const int leave = i - radius;
            if (enter < length) {
                sum += src[index(enter)];
            }
            if (leave >= 0) {
                sum -= src[index(leave)];
            }
        }
    }
}

// Hash of a pixel position to [0, 1): the dither is a fixed pattern, the same on every run.
float hash01(uint32_t x, uint32_t y, uint32_t salt) {
    uint32_t v = x * 0x8da6b343u ^ y * 0xd8163841u ^ salt * 0xcb1ab31fu;
    v ^= v >> 16;
    v *= 0x7feb352du;
    v ^= v >> 15;
    v *= 0x846ca68bu;
    v ^= v >> 16;
    return (v >> 8) * (1.0f / 16777216.0f);
}
} // namespace

Mask blurred(const Mask& mask, float sigma) {
    // Three box passes approximate a Gaussian; box width from the variance of the sum
    // (each box of width n adds (n^2 - 1) / 12).
    const int radius = std::max(
        1, static_cast<int>(std::lround((std::sqrt(4.0f * sigma * sigma + 1.0f) - 1.0f) / 2.0f)));
    Mask out = mask;
    std::vector<float> tmp(out.a.size());
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(out.a, tmp, mask.width, mask.height, radius, true);
        boxPass(tmp, out.a, mask.width, mask.height, radius, false);
    }
    return out;
}

void addInto(Mask& target, const Mask& source, float scale) {
    for (size_t i = 0; i < target.a.size(); ++i) {
        target.a[i] = std::min(1.0f, target.a[i] + source.a[i] * scale);
    }
}

Canvas::Canvas(int width, int height)
    : w(width), h(height), rgb(static_cast<size_t>(width) * height * 3, 0.0f) {}

Color Canvas::get(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * w + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

void Canvas::set(int x, int y, Color c) {
    const size_t i = (static_cast<size_t>(y) * w + x) * 3;
    rgb[i] = c.r;
    rgb[i + 1] = c.g;
    rgb[i + 2] = c.b;
}

void Canvas::glow(const Mask& mask, Color c, float strength) {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const float k = mask.at(x, y) * strength;
            if (k > 0.0f) {
                set(x, y, get(x, y) + c * k);
            }
        }
    }
}

void Canvas::shade(const Mask& mask, float amount) {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const float k = clamp01(mask.at(x, y) * amount);
            if (k > 0.0f) {
                set(x, y, get(x, y) * (1.0f - k));
            }
        }
    }
}

bool Canvas::writePng(const std::string& path, int downscale) const {
    const int ow = w / downscale;
    const int oh = h / downscale;
    std::vector<unsigned char> bytes(static_cast<size_t>(ow) * oh * 3);
    const float inv = 1.0f / (downscale * downscale);
    for (int y = 0; y < oh; ++y) {
        for (int x = 0; x < ow; ++x) {
            Color sum;
            for (int sy = 0; sy < downscale; ++sy) {
                for (int sx = 0; sx < downscale; ++sx) {
                    sum = sum + get(x * downscale + sx, y * downscale + sy);
                }
            }
            const float channel[3] = {sum.r * inv, sum.g * inv, sum.b * inv};
            for (int c = 0; c < 3; ++c) {
                // Triangular dither of one step, in sRGB code values.
                const float noise = hash01(x, y, c) + hash01(x, y, c + 3) - 1.0f;
                const float code = linearToSrgb(clamp01(channel[c])) * 255.0f + noise;
                bytes[(static_cast<size_t>(y) * ow + x) * 3 + c] =
                    static_cast<unsigned char>(std::clamp(std::lround(code), 0L, 255L));
            }
        }
    }
    return stbi_write_png(path.c_str(), ow, oh, 3, bytes.data(), ow * 3) != 0;
}
