// Median frame time of each of the first six scenes at 1920 x 1080: scene resources built as at
// start-up, then for every scene a warm-up frame and N frames spread over its time window, each
// drawn with the timer pinned and finished with glFinish. Run from the runtime folder:
//   cd build/runtime && xvfb-run -a -s "-screen 0 1920x1080x24" ../scenes_bench [frames]
#include "bench_stats.h"
#include "demo/frame_timing.h"

#include "context/window.h"
#include "demo/frame_at.h"
#include "render/gl.h"
#include "scenes/resources.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <vector>

namespace {
double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct FrameCost {
    double wallMs;
    double cpuMs;
};

FrameCost measureFrame(float demoTime) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = processCpuSeconds();
    drawDemoAt(demoTime, DemoClock::Pinned);
    glFinish();
    return {1000.0 * secondsSince(start), 1000.0 * (processCpuSeconds() - cpuStart)};
}
} // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    if (!std::ifstream("labShaders/Scene2.vs")) {
        std::printf("run from the runtime folder (build/runtime): shaders not found\n");
        return 1;
    }
    if (!glfwInit()) {
        std::printf("no display: run under xvfb-run\n");
        return 1;
    }
    hintGl33CoreContext();
    GLFWwindow* window = glfwCreateWindow(1920, 1080, "heptad scenes bench", nullptr, nullptr);
    if (window == nullptr) {
        std::printf("Failed to create GLFW window\n");
        glfwTerminate();
        return 1;
    }
    glfwMakeContextCurrent(window);
    if (!glEntryPointsLoaded()) {
        return failGlLoader();
    }

    // The state start-up leaves before the scene resources: depth test with LEQUAL, seamless
    // cube maps, the viewport at the framebuffer size.
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    int width = 0;
    int height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    glViewport(0, 0, width, height);
    glEnable(GL_DEPTH_TEST);
    const auto startUp = std::chrono::steady_clock::now();
    createSceneResources();
    glFinish();
    const double resourceSeconds = secondsSince(startUp);
    // A program that failed to build (a scene not written yet) is refused by glUseProgram
    // during start-up; that is reported by the build itself, not counted against the scenes.
    while (glGetError() != GL_NO_ERROR) {
    }

    std::printf("\n%s | %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    std::printf("framebuffer %d x %d, scene resources built in %.1f ms, %d frames a scene\n\n",
                width, height, 1000.0 * resourceSeconds, frames);
    std::printf("| scene   | window (s) | median ms | min ms | max ms | median CPU ms |\n");
    std::printf("|---------|------------|-----------|--------|--------|---------------|\n");
    // The first six scenes; the finale needs the lighting precompute (bench/ibl_bench.cpp).
    for (const BenchWindow& scene : benchWindows()) {
        if (scene.start >= 129.0f) {
            break;
        }
        const float span = scene.end - scene.start;
        // Frames at the middles of N equal slices of the window, so every look is sampled.
        measureFrame(scene.start + 0.5f * span / frames); // warm-up
        std::vector<double> wall;
        std::vector<double> cpu;
        for (int i = 0; i < frames; ++i) {
            const FrameCost cost = measureFrame(scene.start + (i + 0.5f) * span / frames);
            wall.push_back(cost.wallMs);
            cpu.push_back(cost.cpuMs);
        }
        std::printf("| %-7s | %4.0f - %-3.0f | %9.2f | %6.2f | %6.2f | %13.2f |\n", scene.name,
                    scene.start, scene.end, median(wall),
                    *std::min_element(wall.begin(), wall.end()),
                    *std::max_element(wall.begin(), wall.end()), median(cpu));
        const GLenum error = glGetError();
        if (error != GL_NO_ERROR) {
            std::printf("  GL error 0x%x in %s\n", error, scene.name);
        }
    }
    glfwTerminate();
    return 0;
}
