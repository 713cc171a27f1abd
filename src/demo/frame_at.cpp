#include "demo/frame_at.h"

#include "demo/frame_plan.h"
#include "demo/timeline.h"
#include "schedule/clock.h"

void drawFrameAt(double seconds) {
    const float demoTime = recordingDemoTime(seconds);
    pinTimer(demoTime == static_cast<float>(seconds) ? seconds : static_cast<double>(demoTime));
    runTimeline(demoTime);
}

void drawWarmUpFor(double seconds, int fps) {
    for (long n : warmUpFrames(firstFrameAt(seconds, fps), fps)) {
        drawFrameAt(frameSeconds(n, fps));
    }
}
