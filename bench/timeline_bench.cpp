// Median frame time of every scene after the program's own start-up, timed exactly as the browser
// build times them (timeline_bench.h), so the two can be set side by side. Run from the runtime
// folder: cd build/runtime && xvfb-run -a -s "-screen 0 1920x1080x24" ../timeline_bench [frames]
#include "context/window.h"
#include "demo/frame_timing.h"
#include "demo/startup.h"
#include "render/gl.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    if (!glfwInit()) {
        std::printf("no display: run under xvfb-run\n");
        return 1;
    }
    hintGl33CoreContext();
    GLFWwindow* window = glfwCreateWindow(1920, 1080, "heptad timeline bench", nullptr, nullptr);
    if (window == nullptr) {
        std::printf("Failed to create GLFW window\n");
        return 1;
    }
    glfwMakeContextCurrent(window);
    if (!glEntryPointsLoaded()) {
        return failGlLoader();
    }
    int framebufferWidth = 0;
    int framebufferHeight = 0;
    glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);
    runStartUp(framebufferWidth, framebufferHeight);
    std::printf("%s, 1920x1080, median of %d frames a scene\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)), frames);
    benchTimeline(frames,
                  [](const char* name, double ms) { std::printf("%-14s %9.1f ms\n", name, ms); });
    glfwTerminate();
    return 0;
}
