#include "support/small_window.h"

#include "context/headless_gl.h"
#include "context/offscreen_target.h"
#include "context/window.h"
#include "demo/startup.h"

#include <string>

namespace {
// For the life of the test process, as the context is.
OffscreenTarget smallTarget;
} // namespace

GLFWwindow* openSmallWindow() {
    if (!glfwInit()) {
        return nullptr;
    }
    return openDesktopWindow(smallWidth, smallHeight, "heptad test");
}

bool openSmallPicture() {
    std::string error;
    if (makeHeadlessContext(-1, error).empty() ||
        !smallTarget.create(smallWidth, smallHeight, error)) {
        return false;
    }
    smallTarget.bind();
    return true;
}

void startUpSmallPicture() {
    runStartUp(smallWidth, smallHeight);
    smallTarget.bind();
}

std::vector<unsigned char> readSmallPicture() {
    std::vector<unsigned char> pixels(static_cast<size_t>(smallWidth) * smallHeight * 4);
    glReadPixels(0, 0, smallWidth, smallHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
