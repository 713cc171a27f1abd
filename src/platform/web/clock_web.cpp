// The browser build's timer, in place of app/clock.cpp: GLFW's clock (seconds since glfwInit)
// times a speed that tests may raise to play the whole timeline quickly.
#include "app/clock.h"
#include "platform/web/clock_speed.h"
#include "render/gl.h"

namespace {
bool timerPinned = false;
double pinnedSeconds = 0.0;
double clockSpeed = 1.0;
} // namespace

double timerSeconds() {
    return timerPinned ? pinnedSeconds : glfwGetTime() * clockSpeed;
}

void pinTimer(double seconds) {
    timerPinned = true;
    pinnedSeconds = seconds;
}

void unpinTimer() {
    timerPinned = false;
}

void setClockSpeed(double speed) {
    clockSpeed = speed;
}
