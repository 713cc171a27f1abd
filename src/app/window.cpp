#include "app/window.h"

#include "render/gl.h"

#include <iostream>

void hintGl33CoreContext() {
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
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
