#include "demo/frame.h"

#include "audio/sound_engine.h"
#include "demo/frame_at.h"
#include "demo/keys.h"
#include "schedule/clock.h"
#include "schedule/schedule.h"

FrameEnd runFrame(GLFWwindow* window, bool& musicStarted) {
    handleKeys(window);
    const float demoTime = static_cast<float>(timerSeconds());
    // Started once and never touched again: the scenes lead the music by the start-up time.
    if (!musicStarted) {
        soundEngine->play2D(musicFile);
        musicStarted = true;
    }
    drawDemoAt(demoTime, DemoClock::Live);
    return timelineEnded(demoTime) ? FrameEnd::TimeUp : FrameEnd::Present;
}
