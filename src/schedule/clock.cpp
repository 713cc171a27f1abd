#include "schedule/clock.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

namespace {
bool timerPinned = false;
double pinnedSeconds = 0.0;
} // namespace

double timerSeconds() {
    return timerPinned ? pinnedSeconds : glfwGetTime();
}

void pinTimer(double seconds) {
    timerPinned = true;
    pinnedSeconds = seconds;
}

void unpinTimer() {
    timerPinned = false;
}
