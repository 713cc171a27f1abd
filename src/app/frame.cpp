#include "app/frame.h"

#include "app/clock.h"
#include "app/keys.h"
#include "app/timeline.h"
#include "audio/sound_engine.h"

FrameEnd runFrame(GLFWwindow* window, bool& musicStarted, double musicFromSeconds) {
    handleKeys(window);
    const float demoTime = static_cast<float>(timerSeconds());
    // Started once and never touched again: from the start of the track the scenes lead the
    // music by the start-up time; a timeline started late starts the music at the same moment.
    if (!musicStarted) {
        soundEngine->play2D("demotune.mp3", musicFromSeconds);
        musicStarted = true;
    }
    runTimeline(demoTime);
    return timelineEnded(demoTime) ? FrameEnd::TimeUp : FrameEnd::Present;
}
