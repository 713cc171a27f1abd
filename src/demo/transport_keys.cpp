#include "demo/transport_keys.h"

#include "demo/demo_session.h"
#include "render/gl.h"
#include "schedule/schedule.h"

namespace {
std::vector<KeyPress> keptPresses;

void onKey(GLFWwindow*, int key, int, int action, int mods) {
    if (action == GLFW_PRESS || action == GLFW_REPEAT) {
        keptPresses.push_back({key, mods});
    }
}
} // namespace

void keepKeyPresses(GLFWwindow* window) {
    keptPresses.clear();
    glfwSetKeyCallback(window, onKey);
}

std::vector<KeyPress> takeKeyPresses() {
    std::vector<KeyPress> presses;
    presses.swap(keptPresses);
    return presses;
}

bool applyTransportKey(DemoSession& session, int key, int mods) {
    const double step = (mods & GLFW_MOD_SHIFT) ? barSeconds : beatSeconds;
    switch (key) {
    case GLFW_KEY_SPACE:
        session.togglePause();
        return true;
    case GLFW_KEY_RIGHT:
        session.moveBy(step);
        return true;
    case GLFW_KEY_LEFT:
        session.moveBy(-step);
        return true;
    case GLFW_KEY_PERIOD:
        session.stepFrame(1);
        return true;
    case GLFW_KEY_COMMA:
        session.stepFrame(-1);
        return true;
    case GLFW_KEY_PAGE_DOWN:
        session.nextScene();
        return true;
    case GLFW_KEY_PAGE_UP:
        session.previousScene();
        return true;
    case GLFW_KEY_HOME:
        session.moveTo(0.0);
        return true;
    default:
        return false;
    }
}
