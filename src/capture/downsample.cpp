#include "capture/downsample.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {
// sRGB transfer both ways: 256 encoded values to linear, and linear on a fine grid back, so
// that even the darkest steps come back as they went in.
constexpr int linearSteps = 1 << 16;

struct TransferTables {
    float toLinear[256];
    std::vector<unsigned char> toEncoded;
    TransferTables() : toEncoded(linearSteps + 1) {
        for (int i = 0; i < 256; ++i) {
            const double v = i / 255.0;
            toLinear[i] =
                static_cast<float>(v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
        }
        for (int i = 0; i <= linearSteps; ++i) {
            const double l = static_cast<double>(i) / linearSteps;
            const double v = l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1.0 / 2.4) - 0.055;
            toEncoded[static_cast<size_t>(i)] = static_cast<unsigned char>(std::lround(v * 255.0));
        }
    }
};
} // namespace

void downsampleBox(const unsigned char* rgba, int width, int height, int factor,
                   std::vector<unsigned char>& out) {
    static const TransferTables tables;
    const size_t sourceWidth = static_cast<size_t>(width) * factor;
    const float share = 1.0f / static_cast<float>(factor * factor);
    out.resize(static_cast<size_t>(width) * height * 4);
    std::vector<float> sums(static_cast<size_t>(width) * 4);
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0.0f);
        for (int row = 0; row < factor; ++row) {
            const unsigned char* in =
                rgba + (static_cast<size_t>(y) * factor + row) * sourceWidth * 4;
            for (size_t x = 0; x < sourceWidth; ++x) {
                float* sum = &sums[(x / factor) * 4];
                sum[0] += tables.toLinear[in[4 * x]];
                sum[1] += tables.toLinear[in[4 * x + 1]];
                sum[2] += tables.toLinear[in[4 * x + 2]];
                sum[3] += in[4 * x + 3];
            }
        }
        unsigned char* target = &out[static_cast<size_t>(y) * width * 4];
        for (size_t i = 0; i < sums.size(); ++i) {
            if (i % 4 == 3) {
                target[i] = static_cast<unsigned char>(std::lround(sums[i] * share));
            } else {
                const long step = std::lround(sums[i] * share * linearSteps);
                target[i] =
                    tables.toEncoded[static_cast<size_t>(std::min<long>(step, linearSteps))];
            }
        }
    }
}
