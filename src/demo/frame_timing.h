#pragma once
// The median frame time of every scene (the finale in its three parts), shared by the desktop
// benchmark (timeline_bench.cpp) and the browser build (?bench=N) so that both time the same
// frames the same way: after start-up, in timeline order (each scene inherits the state of those
// before it), one unseen frame and then N frames at the middles of N equal slices of each time
// window, the timer pinned, each finished by reading back one pixel.
#include "demo/frame_at.h"
#include "render/gl.h"

#include <algorithm>
#include <chrono>
#include <vector>

struct BenchWindow {
    const char* name;
    float start;
    float end;
};

inline const BenchWindow benchWindows[] = {
    {"title", 0.0f, 24.0f},           {"scene 2", 24.0f, 44.0f},
    {"scene 3", 44.0f, 67.0f},        {"scene 4", 67.0f, 83.0f},
    {"scene 5", 83.0f, 112.0f},       {"scene 6", 112.0f, 129.0f},
    {"finale early", 129.0f, 141.0f}, {"finale middle", 141.0f, 151.0f},
    {"finale late", 151.0f, 164.0f},
};

inline double timeOneFrame(float demoTime) {
    const auto start = std::chrono::steady_clock::now();
    drawDemoAt(demoTime, DemoClock::Pinned);
    unsigned char pixel[4];
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// report(name, median milliseconds) once per window.
template <typename Report> void benchTimeline(int frames, Report report) {
    for (const BenchWindow& window : benchWindows) {
        const float slice = (window.end - window.start) / static_cast<float>(frames);
        timeOneFrame(window.start + 0.5f * slice);
        std::vector<double> times;
        for (int i = 0; i < frames; ++i) {
            times.push_back(timeOneFrame(window.start + (static_cast<float>(i) + 0.5f) * slice));
        }
        std::sort(times.begin(), times.end());
        report(window.name, times[times.size() / 2]);
    }
}
