#include "demo/timeline.h"

#include "scenes/scenes.h"

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
