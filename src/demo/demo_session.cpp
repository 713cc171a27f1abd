#include "demo/demo_session.h"

#include "audio/sound_engine.h"
#include "demo/frame_at.h"
#include "demo/frame_plan.h"
#include "ibl/ibl.h"
#include "render/gl.h"
#include "scenes/resources.h"
#include "scenes/scenes.h"

namespace {
constexpr int warmUpFps = 60;
} // namespace

DemoSession::DemoSession(double (*clock)()) : wallClock(clock), startUpState(readGlState()) {
    transport.setPosition(0.0, wallClock());
}

void DemoSession::startMusic() {
    if (musicStarted) {
        return;
    }
    soundEngine->play2D(musicFile, transport.time(wallClock()));
    musicStarted = true;
    if (transport.paused()) {
        soundEngine->pause();
    }
    // Loading the track takes a moment: the clock goes on from where it was, from now.
    transport.setPosition(transport.time(wallClock()), wallClock());
}

void DemoSession::togglePause() {
    if (transport.paused()) {
        transport.resume(wallClock());
        soundEngine->resume();
    } else {
        transport.pause(wallClock());
        soundEngine->pause();
    }
}

void DemoSession::restoreStartUpState() {
    tiltValue = 0.0f;
    forgetScene2Start();
    // The late grid leaves its own projection on the lit program.
    setStartUpProjection();
    // The window may have been resized since start-up: the viewport stays the window's.
    GlStateSnapshot fresh = startUpState;
    glGetIntegerv(GL_VIEWPORT, fresh.viewport.data());
    restoreGlState(fresh);
}

void DemoSession::moveTo(double seconds) {
    ++moveCount;
    const bool wasPaused = transport.paused();
    transport.pause(wallClock());
    transport.setPosition(seconds, wallClock());
    const double target = transport.time(wallClock());
    if (musicStarted && !wasPaused) {
        soundEngine->pause();
    }

    // The frames whose state the frame at target inherits. Going forward, those up to the last
    // frame drawn have been drawn already.
    const std::vector<long> frames = warmUpFrames(firstFrameAt(target, warmUpFps), warmUpFps);
    const bool forward = drawnUpTo >= 0.0 && target >= drawnUpTo;
    if (!forward) {
        restoreStartUpState();
    }
    for (long n : frames) {
        const double t = frameSeconds(n, warmUpFps);
        if (!forward || t > drawnUpTo) {
            drawDemoAt(t, DemoClock::Pinned);
        }
    }
    drawnUpTo = frames.empty() ? -1.0 : frameSeconds(frames.back(), warmUpFps);

    // Seeking in the track takes a moment too: the clock starts after it, with the music.
    if (musicStarted) {
        soundEngine->seek(target);
    }
    transport.setPosition(target, wallClock());
    if (!wasPaused) {
        transport.resume(wallClock());
        if (musicStarted) {
            soundEngine->resume();
        }
    }
}

void DemoSession::stepFrame(int direction) {
    if (transport.paused()) {
        moveTo(time() + direction * editFrameSeconds);
    }
}

double DemoSession::drawFrame() {
    double t = transport.time(wallClock());
    if (t >= editEndSeconds() && !transport.paused()) {
        transport.pause(wallClock());
        soundEngine->pause();
        t = transport.time(wallClock());
    }
    drawDemoAt(t, DemoClock::Pinned);
    drawnUpTo = t;
    return t;
}

void DemoSession::renameProgram(unsigned int old, unsigned int replacement) {
    if (startUpState.program == static_cast<int>(old)) {
        startUpState.program = static_cast<int>(replacement);
    }
}
