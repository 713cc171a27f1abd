#include "app/frame_plan.h"

#include "scenes/finale_layout.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

double frameSeconds(long frame, int fps) {
    return static_cast<double>(frame) / fps;
}

std::vector<float> glitchTimes() {
    std::vector<float> times;
    float finaleStart = 0.0f;
    for (const TimelineWindow& window : timelineWindows) {
        if (std::isfinite(window.start)) {
            times.push_back(window.start);
        }
        if (window.scene == TimelineScene::Finale) {
            finaleStart = window.start;
        }
    }
    times.push_back(std::end(timelineWindows)[-1].end);
    // The finale compares its own time, demoTime - start, with its sub-window bounds; at these
    // demoTimes that difference is exact.
    times.push_back(finaleStart + finaleMiddleFrom);
    times.push_back(finaleStart + finaleLateFrom);
    std::sort(times.begin(), times.end());
    return times;
}

float recordingDemoTime(double seconds) {
    static const std::vector<float> glitches = glitchTimes();
    const auto demoTime = static_cast<float>(seconds);
    if (std::find(glitches.begin(), glitches.end(), demoTime) != glitches.end()) {
        return std::nextafter(demoTime, std::numeric_limits<float>::infinity());
    }
    return demoTime;
}

long firstFrameAt(double seconds, int fps) {
    // A millionth of a frame absorbs the rounding of seconds * fps (22.3 * 60 is not 1338).
    return static_cast<long>(std::ceil(seconds * fps - 1e-6));
}

FrameRange framesBetween(double from, double to, int fps) {
    FrameRange range;
    range.first = firstFrameAt(from, fps);
    range.end = firstFrameAt(to, fps);
    return range;
}

std::vector<long> warmUpFrames(long firstFrame, int fps) {
    std::vector<long> frames;
    TimelineScene previous = TimelineScene::None;
    for (long n = 0; n < firstFrame; ++n) {
        const TimelineScene scene = timelineScene(recordingDemoTime(frameSeconds(n, fps)));
        // The frame before n ended a scene run: keep it.
        if (scene != previous && previous != TimelineScene::None) {
            frames.push_back(n - 1);
        }
        previous = scene;
    }
    if (firstFrame > 0 && (frames.empty() || frames.back() != firstFrame - 1)) {
        frames.push_back(firstFrame - 1);
    }
    return frames;
}

const char* sceneName(TimelineScene scene) {
    switch (scene) {
    case TimelineScene::Title:
        return "title";
    case TimelineScene::Scene2:
        return "scene 2";
    case TimelineScene::Scene3:
        return "scene 3";
    case TimelineScene::Scene4:
        return "scene 4";
    case TimelineScene::Scene5:
        return "scene 5";
    case TimelineScene::Scene6:
        return "scene 6";
    case TimelineScene::Finale:
        return "finale";
    case TimelineScene::None:
        break;
    }
    return "none";
}
