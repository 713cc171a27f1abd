#include "capture/time_left.h"

#include "scenes/finale_layout.h"

#include <algorithm>

double expectedFrameCost(float demoTime) {
    // The capture benchmark's speeds (title 30.9 fps ... finale 1.5 fps), the finale split by
    // grid in the proportions of the scene benchmark's frame times (the late grid of 300
    // spheres costs over ten times the others).
    switch (timelineScene(demoTime)) {
    case TimelineScene::Title:
        return 1.0 / 30.9;
    case TimelineScene::Scene2:
        return 1.0 / 27.4;
    case TimelineScene::Scene3:
        return 1.0 / 23.0;
    case TimelineScene::Scene4:
        return 1.0 / 13.5;
    case TimelineScene::Scene5:
        return 1.0 / 4.7;
    case TimelineScene::Scene6:
        return 1.0 / 15.3;
    case TimelineScene::Finale:
        switch (finaleFrameAt(demoTime).window) {
        case FinaleWindow::Early:
            return 0.17;
        case FinaleWindow::Middle:
            return 0.10;
        default:
            return 1.5;
        }
    case TimelineScene::None:
        break;
    }
    return 0.0;
}

TimeLeft::TimeLeft(const FrameRange& range, int fps) {
    costBefore.push_back(0.0);
    for (long n = range.first; n < range.end; ++n) {
        const float demoTime = recordingDemoTime(frameSeconds(n, fps));
        costBefore.push_back(costBefore.back() + expectedFrameCost(demoTime));
    }
}

double TimeLeft::secondsLeft(long done, double elapsedSeconds) const {
    const long total = static_cast<long>(costBefore.size()) - 1;
    if (done <= 0 || done > total || costBefore[done] <= 0.0) {
        return -1.0;
    }
    const double pace = elapsedSeconds / costBefore[done];
    return std::max(0.0, pace * (costBefore[total] - costBefore[done]));
}
