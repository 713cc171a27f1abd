#include "demo/frame_loop.h"

#include "base/stop_signal.h"
#include "render/gl.h"

FrameEnd runFrameLoop(GLFWwindow* window, const std::function<FrameEnd()>& step) {
    if (glfwWindowShouldClose(window) || stopSignal() != 0) {
        return FrameEnd::Present;
    }
    while (true) {
        if (step() == FrameEnd::TimeUp) {
            return FrameEnd::TimeUp;
        }
        glfwSwapBuffers(window);
        glfwPollEvents();
        if (glfwWindowShouldClose(window) || stopSignal() != 0) {
            return FrameEnd::Present;
        }
    }
}
