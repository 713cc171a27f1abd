// What the flash check and the flash limiter cost a frame. The check runs on the CPU on frames
// of 320x180 and 1920x1080 (RGBA, as the recorder reads them back); the limiter runs on the GL
// of a headless context, as the recorder's is (Mesa's llvmpipe where there is no GPU), at
// 1920x1080, once on a still picture (nothing held: the copy and the cell means only) and once on
// a full-screen flash (every cell held: the blend pass and a second copy as well).
// Run it from the runtime folder, which holds the limiter's shaders:
//   cd build/runtime && ../flash_bench [frames]
#include "bench_stats.h"
#include "context/headless_gl.h"
#include "context/offscreen_target.h"
#include "flash/flash_analysis.h"
#include "flash/flash_limiter.h"
#include "render/gl.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
double millisecondsSince(std::chrono::steady_clock::time_point start, int frames) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
               .count() /
           frames;
}

void checkCost(int width, int height, int frames) {
    std::vector<unsigned char> frame(static_cast<size_t>(width) * height * 4);
    FlashAnalyser analyser(60, 0);
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < frames; ++n) {
        // A 5 Hz flash with a gradient, so every cell runs and turns.
        for (size_t i = 0; i < frame.size(); ++i) {
            frame[i] = static_cast<unsigned char>(((n / 6) % 2 == 1 ? 128 : 0) + (i / 4) % 128);
        }
        analyser.addFrame(frame.data(), width, height, 4);
    }
    const double withFill = millisecondsSince(start, frames);
    const auto fillStart = std::chrono::steady_clock::now();
    unsigned sum = 0;
    for (int n = 0; n < frames; ++n) {
        for (size_t i = 0; i < frame.size(); ++i) {
            frame[i] = static_cast<unsigned char>(((n / 6) % 2 == 1 ? 128 : 0) + (i / 4) % 128);
        }
        sum += frame[n % frame.size()];
    }
    const double fill = millisecondsSince(fillStart, frames);
    std::printf("flash check at %dx%d: %.2f ms a frame (%u)\n", width, height, withFill - fill,
                sum % 2);
}

double limiterCost(FlashLimiter& limiter, const OffscreenTarget& target, int width, int height,
                   int frames, bool flashing) {
    limiter.reset();
    std::vector<double> times;
    for (int n = 0; n < frames; ++n) {
        target.bind();
        const float v = flashing && (n / 6) % 2 == 1 ? 1.0f : 0.2f;
        glClearColor(v, v, v, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glFinish();
        const auto start = std::chrono::steady_clock::now();
        limiter.apply(width, height, n / 60.0);
        glFinish();
        times.push_back(millisecondsSince(start, 1));
    }
    return median(times);
}
} // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 120;
    checkCost(320, 180, frames);
    checkCost(1920, 1080, frames);

    std::string error;
    const std::string origin = makeHeadlessContext(-1, error);
    if (origin.empty()) {
        std::fprintf(stderr, "flash_bench: %s\n", error.c_str());
        return 1;
    }
    constexpr int width = 1920;
    constexpr int height = 1080;
    OffscreenTarget target;
    if (!target.create(width, height, error)) {
        std::fprintf(stderr, "flash_bench: %s\n", error.c_str());
        return 1;
    }
    FlashLimiter limiter;
    std::printf("flash limiter at %dx%d on %s, median of %d frames:\n", width, height,
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)), frames);
    std::printf("  a still picture, nothing held: %.2f ms a frame\n",
                limiterCost(limiter, target, width, height, frames, false));
    std::printf("  a full-screen 5 Hz flash, held: %.2f ms a frame\n",
                limiterCost(limiter, target, width, height, frames, true));
    return 0;
}
