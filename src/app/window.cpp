#include "app/window.h"

#include "render/gl.h"

#include <iostream>

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
