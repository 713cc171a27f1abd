#include "schedule/clock.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

namespace {
bool timerPinned = false;
double pinnedSeconds = 0.0;
double clockSpeed = 1.0;
} // namespace

double timerSeconds() {
    return timerPinned ? pinnedSeconds : clockSeconds();
}

double clockSeconds() {
    // At speed 1 the product is GLFW's reading exactly.
    return glfwGetTime() * clockSpeed;
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
