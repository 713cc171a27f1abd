#include "app/edit_transport.h"

#include "app/frame_plan.h"
#include "app/timeline.h"
#include "scenes/finale_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

double editEndSeconds() {
    constexpr int fps = 60;
    return frameSeconds(firstFrameAt(timelineWindows[std::size(timelineWindows) - 1].end, fps) - 1,
                        fps);
}

std::vector<double> editSceneStarts() {
    std::vector<double> starts{0.0};
    for (const TimelineWindow& window : timelineWindows) {
        if (std::isfinite(window.start)) {
            starts.push_back(window.start);
        }
        if (window.scene == TimelineScene::Finale) {
            starts.push_back(window.start + finaleMiddleFrom);
            starts.push_back(window.start + finaleLateFrom);
        }
    }
    std::sort(starts.begin(), starts.end());
    return starts;
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

double EditTransport::time(double wall) const {
    const double t = held ? position : position + (wall - positionWall);
    return std::min(t, editEndSeconds());
}

void EditTransport::pause(double wall) {
    setPosition(time(wall), wall);
    held = true;
}

void EditTransport::resume(double wall) {
    setPosition(time(wall), wall);
    held = false;
}

void EditTransport::setPosition(double seconds, double wall) {
    position = std::clamp(seconds, 0.0, editEndSeconds());
    positionWall = wall;
}
