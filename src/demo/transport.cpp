#include "demo/transport.h"

#include "demo/frame_plan.h"
#include "schedule/schedule.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

double editEndSeconds() {
    constexpr int fps = 60;
    return frameSeconds(firstFrameAt(demoEnd, fps) - 1, fps);
}

std::vector<double> editSceneStarts() {
    return std::vector<double>(sceneMoments.begin(), sceneMoments.end());
}

double nextSceneStart(double t) {
    for (double start : editSceneStarts()) {
        if (start > t) {
            return start;
        }
    }
    return editEndSeconds();
}

double sceneStartBack(double t) {
    const std::vector<double> starts = editSceneStarts();
    for (size_t i = starts.size(); i-- > 0;) {
        if (starts[i] <= t) {
            return (t - starts[i] < 1.0 && i > 0) ? starts[i - 1] : starts[i];
        }
    }
    return 0.0;
}

std::string barBeat(double t) {
    const long beat = static_cast<long>(std::floor(std::max(t, 0.0) / beatSeconds));
    char text[32];
    std::snprintf(text, sizeof text, "%ld.%ld", beat / 4 + 1, beat % 4 + 1);
    return text;
}

double Transport::time(double wall) const {
    const double t = held ? position : position + (wall - positionWall);
    return std::min(t, editEndSeconds());
}

void Transport::pause(double wall) {
    setPosition(time(wall), wall);
    held = true;
}

void Transport::resume(double wall) {
    setPosition(time(wall), wall);
    held = false;
}

void Transport::setPosition(double seconds, double wall) {
    position = std::clamp(seconds, 0.0, editEndSeconds());
    positionWall = wall;
}
