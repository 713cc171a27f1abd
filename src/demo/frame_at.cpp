#include "demo/frame_at.h"

#include "demo/frame_plan.h"
#include "demo/timeline.h"
#include "flash/flash_limiter.h"
#include "schedule/clock.h"
#include <algorithm>

void drawFrameAt(double seconds) {
    const float demoTime = recordingDemoTime(seconds);
    pinTimer(demoTime == static_cast<float>(seconds) ? seconds : static_cast<double>(demoTime));
    runTimeline(demoTime);
}

void drawGentleWarmUpFor(double seconds, int fps, FlashLimiter& limiter, int width, int height) {
    const long first = firstFrameAt(seconds, fps);
    const long from = std::max(0L, first - fps);
    drawWarmUpFor(frameSeconds(from, fps), fps);
    limiter.reset();
    for (long n = from; n < first; ++n) {
        drawFrameAt(frameSeconds(n, fps));
        limiter.apply(width, height, frameSeconds(n, fps));
    }
}

void drawWarmUpFor(double seconds, int fps) {
    for (long n : warmUpFrames(firstFrameAt(seconds, fps), fps)) {
        drawFrameAt(frameSeconds(n, fps));
    }
}
