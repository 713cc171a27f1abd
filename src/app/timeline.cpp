#include "app/timeline.h"

#include "scenes/scenes.h"

TimelineScene timelineScene(float t) {
    if (t < 24.0f) {
        return TimelineScene::Title;
    }
    if (t > 24.0f && t < 44.0f) {
        return TimelineScene::Scene2;
    }
    if (t > 44.0f && t < 67.0f) {
        return TimelineScene::Scene3;
    }
    if (t > 67.0f && t < 83.0f) {
        return TimelineScene::Scene4;
    }
    if (t > 83.0f && t < 112.0f) {
        return TimelineScene::Scene5;
    }
    if (t > 112.0f && t < 129.0f) {
        return TimelineScene::Scene6;
    }
    if (t > 129.0f && t < 164.0f) {
        return TimelineScene::Finale;
    }
    return TimelineScene::None;
}

bool timelineEnded(float demoTime) {
    return demoTime > 164.0f;
}

void runTimeline(float demoTime) {
    switch (timelineScene(demoTime)) {
    case TimelineScene::Title:
        drawTitleScene(demoTime);
        break;
    case TimelineScene::Scene2:
        drawScene2(demoTime);
        break;
    case TimelineScene::Scene3:
        drawScene3(demoTime);
        break;
    case TimelineScene::Scene4:
        drawScene4(demoTime);
        break;
    case TimelineScene::Scene5:
        drawScene5(demoTime);
        break;
    case TimelineScene::Scene6:
        drawScene6(demoTime);
        break;
    case TimelineScene::Finale:
        drawFinale(demoTime);
        break;
    case TimelineScene::None:
        break;
    }
}
