#include "demo/frame_plan.h"

#include <algorithm>
#include <cmath>
#include <limits>

double frameSeconds(long frame, int fps) {
    return static_cast<double>(frame) / fps;
}

std::vector<float> glitchTimes() {
    // Every moment but the first, where the finale compares its own time with its grids' bounds
    // (at these demoTimes that difference is exact), and the end.
    std::vector<float> times(sceneMoments.begin() + 1, sceneMoments.end());
    times.push_back(demoEnd);
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
