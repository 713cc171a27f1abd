#include "app/warm_up.h"

#include "app/clock.h"
#include "app/timeline.h"
#include "audio/sound_engine.h"
#include "render/gl.h"

#include <cmath>

std::vector<long> warmUpFrames(long firstFrame, int fps) {
    std::vector<long> frames;
    TimelineScene previous = TimelineScene::None;
    for (long n = 0; n < firstFrame; ++n) {
        const TimelineScene scene = timelineScene(static_cast<float>(static_cast<double>(n) / fps));
        // The frame before n ended a scene run: keep it.
        if (scene != previous && previous != TimelineScene::None) {
            frames.push_back(n - 1);
        }
        previous = scene;
    }
    if (firstFrame > 0 && (frames.empty() || frames.back() != firstFrame - 1)) {
        frames.push_back(firstFrame - 1);
    }
    return frames;
}

void startTimelineAt(double seconds) {
    constexpr int refreshRate = 60;
    // The first 60 Hz frame at or after the start; a millionth of a frame absorbs the rounding
    // of seconds * 60.
    const long firstFrame = static_cast<long>(std::ceil(seconds * refreshRate - 1e-6));
    for (long n : warmUpFrames(firstFrame, refreshRate)) {
        const double time = static_cast<double>(n) / refreshRate;
        pinTimer(time);
        runTimeline(static_cast<float>(time));
    }
    unpinTimer();
    // Loading the track and seeking in it take a moment: the clock is set after them.
    soundEngine->play2D("demotune.mp3", seconds);
    glfwSetTime(seconds);
}
