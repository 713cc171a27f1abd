#include "schedule/schedule.h"

TimelineScene timelineScene(float t) {
    for (const TimelineWindow& window : timelineWindows) {
        if (t > window.start && t < window.end) {
            return window.scene;
        }
    }
    return TimelineScene::None;
}

bool timelineEnded(float demoTime) {
    return demoTime > demoEnd;
}

const char* sceneName(TimelineScene scene) {
    constexpr const char* names[] = {"none",    "title",   "scene 2", "scene 3",
                                     "scene 4", "scene 5", "scene 6", "finale"};
    return names[static_cast<int>(scene)];
}

FinaleWindow finaleWindowAt(float s) {
    if (s < finaleMiddleFrom) {
        return FinaleWindow::Early;
    }
    if (s > finaleMiddleFrom && s < finaleLateFrom) {
        return FinaleWindow::Middle;
    }
    if (s > finaleLateFrom) {
        return FinaleWindow::Late;
    }
    return FinaleWindow::None;
}

double expectedFrameCost(float demoTime) {
    // Title 30.9 fps ... scene 6 15.3 fps; the late grid of 300 spheres costs over ten times the
    // other two.
    constexpr double sceneCost[] = {0.0,        1.0 / 30.9, 1.0 / 27.4, 1.0 / 23.0,
                                    1.0 / 13.5, 1.0 / 4.7,  1.0 / 15.3};
    constexpr double finaleCost[] = {1.5, 0.17, 0.10, 1.5}; // none, early, middle, late
    const TimelineScene scene = timelineScene(demoTime);
    if (scene != TimelineScene::Finale) {
        return sceneCost[static_cast<int>(scene)];
    }
    const float s = demoTime - sceneStart(TimelineScene::Finale);
    return finaleCost[static_cast<int>(finaleWindowAt(s))];
}
