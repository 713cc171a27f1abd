#include "capture/frame_plan.h"

#include <cmath>

double frameSeconds(long frame, int fps) {
    return static_cast<double>(frame) / fps;
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
