#include "demo/late_start.h"

#include "audio/sound_engine.h"
#include "demo/frame_at.h"
#include "render/gl.h"
#include "schedule/clock.h"
#include "schedule/schedule.h"

void startTimelineAt(double seconds, FlashLimiter* limiter, int width, int height) {
    constexpr int refreshRate = 60;
    if (limiter != nullptr) {
        drawGentleWarmUpFor(seconds, refreshRate, *limiter, width, height);
    } else {
        drawWarmUpFor(seconds, refreshRate);
    }
    unpinTimer();
    // Loading the track and seeking in it take a moment: the clock is set after them.
    soundEngine->play2D(musicFile, seconds);
    glfwSetTime(seconds);
}
