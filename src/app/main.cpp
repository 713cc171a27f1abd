// Heptad: a fullscreen OpenGL demo of seven scenes to a 128 BPM track, 164 seconds long.
#include "app/frame.h"
#include "app/startup.h"
#include "app/window.h"
#include "render/gl.h"
#include "scenes/resources.h"

#include <iostream>

int main() {
    glfwInit(); // a failure shows up as a failed window below
    hintGl33CoreContext();
    glfwWindowHint(GLFW_REFRESH_RATE, 60);
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    GLFWwindow* window = glfwCreateWindow(1920, 1080, "", monitor, nullptr);
    if (window == nullptr) {
        std::cout << "Failed to create GLFW window" << std::endl;
        glfwTerminate();
        return -1;
    }
    glfwMakeContextCurrent(window);
    glfwSetFramebufferSizeCallback(window, onFramebufferSize);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
    if (!glEntryPointsLoaded()) {
        return failGlLoader();
    }

    runStartUp(window);

    bool musicStarted = false;
    if (!glfwWindowShouldClose(window)) {
        while (true) {
            if (runFrame(window, musicStarted) == FrameEnd::TimeUp) {
                // The last frame is neither presented nor cleaned up after.
                glfwTerminate();
                return 0;
            }
            glfwSwapBuffers(window);
            glfwPollEvents();
            if (glfwWindowShouldClose(window)) {
                break;
            }
        }
    }

    deleteSpareCube();
    glfwTerminate();
    return 0;
}
