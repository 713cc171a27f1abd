#pragma once
// The median frame time of every scene (the finale in its three parts), shared by the desktop
// benchmark (timeline_bench.cpp) and the browser build (?bench=N) so that both time the same
// frames the same way: after start-up, in timeline order (each scene inherits the state of those
// before it), one unseen frame and then N frames at the middles of N equal slices of each time
// window, the timer pinned, each finished by reading back one pixel.
#include "demo/frame_at.h"
#include "render/gl.h"
#include "schedule/schedule.h"

#include <algorithm>
#include <chrono>
#include <vector>

struct BenchWindow {
    const char* name;
    float start;
    float end;
};

// Every scene's window, the title's from 0, and the finale split at its grids.
inline std::vector<BenchWindow> benchWindows() {
    std::vector<BenchWindow> windows;
    for (const TimelineWindow& window : timelineWindows) {
        if (window.scene != TimelineScene::Finale) {
            windows.push_back({sceneName(window.scene), sceneStart(window.scene), window.end});
        }
    }
    const TimelineWindow& finale = windowOf(TimelineScene::Finale);
    const float middle = finale.start + finaleMiddleFrom;
    const float late = finale.start + finaleLateFrom;
    windows.push_back({"finale early", finale.start, middle});
    windows.push_back({"finale middle", middle, late});
    windows.push_back({"finale late", late, finale.end});
    return windows;
}

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
    for (const BenchWindow& window : benchWindows()) {
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
