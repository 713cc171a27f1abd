#include "demo/frame_at.h"

#include "demo/frame_plan.h"
#include "flash/flash_limiter.h"
#include "scenes/scenes.h"
#include "schedule/clock.h"
#include <algorithm>

namespace {
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
} // namespace

void drawDemoAt(double seconds, DemoClock clock) {
    if (clock == DemoClock::Live) {
        runTimeline(static_cast<float>(seconds));
        return;
    }
    const float demoTime = recordingDemoTime(seconds);
    pinTimer(demoTime == static_cast<float>(seconds) ? seconds : static_cast<double>(demoTime));
    runTimeline(demoTime);
}

void drawPinnedFrame(double seconds, FlashLimiter* limiter, int width, int height) {
    drawDemoAt(seconds, DemoClock::Pinned);
    if (limiter != nullptr) {
        limiter->apply(width, height, seconds);
    }
}

void drawGentleWarmUpFor(double seconds, int fps, FlashLimiter& limiter, int width, int height) {
    const long first = firstFrameAt(seconds, fps);
    const long from = std::max(0L, first - fps);
    drawWarmUpFor(frameSeconds(from, fps), fps);
    limiter.reset();
    for (long n = from; n < first; ++n) {
        drawPinnedFrame(frameSeconds(n, fps), &limiter, width, height);
    }
}

void drawWarmUpFor(double seconds, int fps) {
    for (long n : warmUpFrames(firstFrameAt(seconds, fps), fps)) {
        drawDemoAt(frameSeconds(n, fps), DemoClock::Pinned);
    }
}
