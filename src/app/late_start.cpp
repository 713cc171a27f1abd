#include "app/late_start.h"

#include "app/clock.h"
#include "app/timeline.h"
#include "audio/sound_engine.h"
#include "capture/frame_plan.h"
#include "render/gl.h"

void startTimelineAt(double seconds) {
    constexpr int refreshRate = 60;
    for (long n : warmUpFrames(firstFrameAt(seconds, refreshRate), refreshRate)) {
        const double time = frameSeconds(n, refreshRate);
        // As the recorder draws it: a frame on a scene bound draws the instant after it.
        const float demoTime = recordingDemoTime(time);
        pinTimer(demoTime == static_cast<float>(time) ? time : static_cast<double>(demoTime));
        runTimeline(demoTime);
    }
    unpinTimer();
    // Loading the track and seeking in it take a moment: the clock is set after them.
    soundEngine->play2D("demotune.mp3", seconds);
    glfwSetTime(seconds);
}
