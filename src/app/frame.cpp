#include "app/frame.h"

#include "app/clock.h"
#include "app/keys.h"
#include "app/timeline.h"
#include "audio/sound_engine.h"

FrameEnd runFrame(GLFWwindow* window, bool& musicStarted) {
    handleKeys(window);
    const float demoTime = static_cast<float>(timerSeconds());
    // Started once and never touched again: the scenes lead the music by the start-up time.
    if (!musicStarted) {
        soundEngine->play2D("demotune.mp3");
        musicStarted = true;
    }
    runTimeline(demoTime);
    return timelineEnded(demoTime) ? FrameEnd::TimeUp : FrameEnd::Present;
}
