#include "context/window.h"

#include "render/gl.h"

#include <iostream>

void hintGl33CoreContext(bool debug) {
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    if (debug) {
        glfwWindowHint(GLFW_OPENGL_DEBUG_CONTEXT, GLFW_TRUE);
    }
}

GLFWwindow* openPlayerWindow(bool inWindow) {
    hintGl33CoreContext();
    glfwWindowHint(GLFW_REFRESH_RATE, 60);
    GLFWwindow* window = nullptr;
    if (inWindow) {
        window = glfwCreateWindow(1920, 1080, "Heptad", nullptr, nullptr);
    } else {
        GLFWmonitor* monitor = glfwGetPrimaryMonitor();
        window = glfwCreateWindow(1920, 1080, "", monitor, nullptr);
    }
    if (window == nullptr) {
        return nullptr;
    }
    glfwMakeContextCurrent(window);
    glfwSetFramebufferSizeCallback(window, onFramebufferSize);
    if (!inWindow) {
        glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
    }
    return window;
}

GLFWwindow* openDesktopWindow(int width, int height, const char* title, bool debug) {
    hintGl33CoreContext(debug);
    GLFWwindow* window = glfwCreateWindow(width, height, title, nullptr, nullptr);
    if (window != nullptr) {
        glfwMakeContextCurrent(window);
        glfwSetFramebufferSizeCallback(window, onFramebufferSize);
    }
    return window;
}

void onFramebufferSize(GLFWwindow*, int width, int height) {
    glViewport(0, 0, width, height);
}

bool glEntryPointsLoaded() {
    return epoxy_is_desktop_gl() && epoxy_gl_version() >= 33;
}

int failGlLoader() {
    std::cout << "Failed to initialize GLAD" << std::endl;
    glfwTerminate();
    return -1;
}
