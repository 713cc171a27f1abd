#include "web/page_player.h"

#include "demo/demo_session.h"
#include "demo/keys.h"
#include "demo/transport.h"
#include "demo/transport_keys.h"
#include "flash/flash_limiter.h"
#include "render/gl.h"
#include "schedule/clock.h"
#include "schedule/schedule.h"

#include <memory>
#include <vector>

namespace {
std::unique_ptr<DemoSession> session;
bool firstFrame = true;
std::unique_ptr<FlashLimiter> limiter;
unsigned movesSeen = 0; // the session's moves when the limiter last drew
} // namespace

void startPagePlayer(GLFWwindow* window, bool gentle) {
    session = std::make_unique<DemoSession>(clockSeconds);
    if (gentle) {
        limiter = std::make_unique<FlashLimiter>();
    }
    // Held until the first frame, so that it starts exactly where the page put it (#t=).
    session->togglePause();
    firstFrame = true;
    keepKeyPresses(window);
}

PlayedFrame playPageFrame(GLFWwindow* window) {
    // Escape as in the live loop; leaving fullscreen, which the browser keeps Escape for, does
    // not end the demo.
    handleKeys(window);
    if (firstFrame) {
        firstFrame = false;
        heptadSetPaused(0);
    }
    for (const KeyPress& press : takeKeyPresses()) {
        applyTransportKey(*session, press.key, press.mods);
    }
    // The session holds at the end; the page ends there instead, as the live program does.
    if (!session->paused() && session->time() >= editEndSeconds()) {
        return {session->time(), true, false};
    }
    session->startMusic();
    const double drawn = session->drawFrame();
    if (!limiter) {
        return {drawn, false, false};
    }
    if (session->moves() != movesSeen) {
        movesSeen = session->moves();
        limiter->reset();
    }
    int width = 0;
    int height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    limiter->apply(width, height, drawn);
    return {drawn, false, true};
}

double heptadDemoSeconds() {
    return session ? session->time() : timerSeconds();
}

int heptadPaused() {
    return session && session->paused() ? 1 : 0;
}

void heptadSetPaused(int paused) {
    if (session && session->paused() != (paused != 0)) {
        session->togglePause();
    }
}

void heptadSeek(double seconds) {
    if (session) {
        session->moveTo(seconds);
    }
}

double heptadSceneStart(int i) {
    const std::vector<double> starts = editSceneStarts();
    return i >= 0 && i < static_cast<int>(starts.size()) ? starts[i] : -1.0;
}

double heptadDuration() {
    return demoLength;
}
