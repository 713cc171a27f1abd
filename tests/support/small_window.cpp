#include "support/small_window.h"

#include "context/window.h"

GLFWwindow* openSmallWindow() {
    if (!glfwInit()) {
        return nullptr;
    }
    hintGl33CoreContext();
    GLFWwindow* window = glfwCreateWindow(smallWidth, smallHeight, "heptad test", nullptr, nullptr);
    if (window != nullptr) {
        glfwMakeContextCurrent(window);
        glfwSetFramebufferSizeCallback(window, onFramebufferSize);
    }
    return window;
}

std::vector<unsigned char> readSmallPicture() {
    std::vector<unsigned char> pixels(static_cast<size_t>(smallWidth) * smallHeight * 4);
    glReadPixels(0, 0, smallWidth, smallHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
