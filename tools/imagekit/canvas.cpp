#include "imagekit/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stb_image_write.h>

namespace {
// One box pass of radius r along each row; samples outside count as 0.
void boxPassRows(const BigVector<float>& src, BigVector<float>& dst, int w, int h, int radius) {
    const float norm = 1.0f / (2 * radius + 1);
    for (int y = 0; y < h; ++y) {
        const float* in = &src[static_cast<size_t>(y) * w];
        float* out = &dst[static_cast<size_t>(y) * w];
        double sum = 0.0;
        for (int i = 0; i <= std::min(radius, w - 1); ++i) {
            sum += in[i];
        }
        for (int i = 0; i < w; ++i) {
            out[i] = static_cast<float>(sum) * norm;
            if (i + radius + 1 < w) {
                sum += in[i + radius + 1];
            }
            if (i - radius >= 0) {
                sum -= in[i - radius];
            }
        }
    }
}

// The same down each column, walking whole rows at a time with one running sum per column,
// which keeps the memory access sequential.
void boxPassColumns(const BigVector<float>& src, BigVector<float>& dst, int w, int h, int radius) {
    const float norm = 1.0f / (2 * radius + 1);
    std::vector<double> sum(w, 0.0);
    for (int y = 0; y <= std::min(radius, h - 1); ++y) {
        for (int x = 0; x < w; ++x) {
            sum[x] += src[static_cast<size_t>(y) * w + x];
        }
    }
    for (int y = 0; y < h; ++y) {
        float* out = &dst[static_cast<size_t>(y) * w];
        const int enter = y + radius + 1;
        const int leave = y - radius;
        for (int x = 0; x < w; ++x) {
            out[x] = static_cast<float>(sum[x]) * norm;
            if (enter < h) {
                sum[x] += src[static_cast<size_t>(enter) * w + x];
            }
            if (leave >= 0) {
                sum[x] -= src[static_cast<size_t>(leave) * w + x];
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
    BigVector<float> tmp(out.a.size());
    for (int pass = 0; pass < 3; ++pass) {
        boxPassRows(out.a, tmp, mask.width, mask.height, radius);
        boxPassColumns(tmp, out.a, mask.width, mask.height, radius);
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
                // Triangular dither of one step, in sRGB code values. Previews skip it: they
                // are box-filtered already, and small files matter more there.
                const float noise =
                    downscale > 1 ? 0.0f : hash01(x, y, c) + hash01(x, y, c + 3) - 1.0f;
                const float code = linearToSrgb(clamp01(channel[c])) * 255.0f + noise;
                bytes[(static_cast<size_t>(y) * ow + x) * 3 + c] =
                    static_cast<unsigned char>(std::clamp(std::lround(code), 0L, 255L));
            }
        }
    }
    return stbi_write_png(path.c_str(), ow, oh, 3, bytes.data(), ow * 3) != 0;
}
