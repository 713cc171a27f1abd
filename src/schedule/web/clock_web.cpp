// The browser build's timer, in place of schedule/clock.cpp: GLFW's clock (seconds since glfwInit)
// times a speed that tests may raise to play the whole timeline quickly.
#include "schedule/clock.h"
#include "schedule/web/clock_speed.h"
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

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
