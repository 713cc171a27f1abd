#include "demo/frame.h"

#include "audio/sound_engine.h"
#include "demo/frame_at.h"
#include "demo/keys.h"
#include "flash/flash_limiter.h"
#include "render/gl.h"
#include "schedule/clock.h"
#include "schedule/schedule.h"

FrameEnd runFrame(GLFWwindow* window, bool& musicStarted, FlashLimiter* limiter) {
    handleKeys(window);
    const double seconds = timerSeconds();
    // Started once and never touched again: the scenes lead the music by the start-up time.
    if (!musicStarted) {
        soundEngine->play2D(musicFile);
        musicStarted = true;
    }
    drawDemoAt(seconds, DemoClock::Live);
    if (timelineEnded(static_cast<float>(seconds))) {
        return FrameEnd::TimeUp;
    }
    if (limiter != nullptr) {
        int width = 0;
        int height = 0;
        glfwGetFramebufferSize(window, &width, &height);
        limiter->apply(width, height, timerSeconds());
    }
    return FrameEnd::Present;
}
