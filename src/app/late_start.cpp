#include "app/late_start.h"

#include "app/clock.h"
#include "app/frame_at.h"
#include "audio/sound_engine.h"
#include "render/gl.h"

void startTimelineAt(double seconds, FlashLimiter* limiter, int width, int height) {
    constexpr int refreshRate = 60;
    if (limiter != nullptr) {
        drawGentleWarmUpFor(seconds, refreshRate, *limiter, width, height);
    } else {
        drawWarmUpFor(seconds, refreshRate);
    }
    unpinTimer();
    // Loading the track and seeking in it take a moment: the clock is set after them.
    soundEngine->play2D("demotune.mp3", seconds);
    glfwSetTime(seconds);
}
