// Times the lighting precompute pass by pass and the whole start-up, then the PBR finale's
// median frame time in each sub-window, in a 1920 x 1080 window. Run it from the runtime folder,
// where the shaders and the sky are:
//   cd build/runtime && xvfb-run -a -s "-screen 0 1920x1080x24" ../ibl_bench
#include "context/window.h"
#include "demo/frame_at.h"
#include "ibl/ibl.h"
#include "render/gl.h"
#include "scenes/resources.h"
#include "scenes/scenes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {
double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Runs step, waits for the GPU to finish it and prints how long that took.
template <typename Step> double timed(const char* name, Step step) {
    const double start = now();
    step();
    glFinish();
    const double seconds = now() - start;
    std::printf("  %-28s %8.1f ms\n", name, seconds * 1000.0);
    return seconds;
}

double medianFrameSeconds(float from, float to, int frames) {
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        const float demoTime = from + (to - from) * (i + 0.5f) / frames;
        const double start = now();
        drawDemoAt(demoTime, DemoClock::Pinned);
        glFinish();
        times.push_back(now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
} // namespace

int main() {
    if (!std::filesystem::exists("imgs/vellmar.512.hdr")) {
        std::printf("note: no imgs/vellmar.512.hdr here; the precompute runs on a black sky\n");
    }
    const double startUp = now();
    glfwInit();
    hintGl33CoreContext();
    GLFWwindow* window = glfwCreateWindow(1920, 1080, "ibl bench", nullptr, nullptr);
    if (window == nullptr) {
        std::printf("no window: run under an X server\n");
        return 1;
    }
    glfwMakeContextCurrent(window);
    glfwSetFramebufferSizeCallback(window, onFramebufferSize);
    if (!glEntryPointsLoaded()) {
        std::printf("no OpenGL 3.3 core context\n");
        return 1;
    }
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    const double contextReady = now();

    std::printf("start-up (glFinish after each step):\n");
    double precompute = 0.0;
    precompute += timed("captureEnvironment", captureEnvironment);
    precompute += timed("irradiance map", renderIrradianceMap);
    precompute += timed("pre-filtered map", renderPrefilterMap);
    precompute += timed("BRDF lookup", renderBrdfLut);
    int width = 0;
    int height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    precompute += timed("projection, viewport", [=] { readyLitPrograms(width, height); });
    timed("scene resources", createSceneResources);
    std::printf("  %-28s %8.1f ms\n", "lighting precompute", precompute * 1000.0);
    std::printf("  %-28s %8.1f ms\n", "window and context", (contextReady - startUp) * 1000.0);
    std::printf("  %-28s %8.1f ms\n", "whole start-up", (now() - startUp) * 1000.0);

    std::printf("finale, median frame time at 1920 x 1080:\n");
    std::printf("  %-28s %8.1f ms\n", "early (132 spheres)",
                medianFrameSeconds(129.5f, 140.5f, 5) * 1000.0);
    std::printf("  %-28s %8.1f ms\n", "middle (84 spheres)",
                medianFrameSeconds(141.5f, 150.5f, 5) * 1000.0);
    std::printf("  %-28s %8.1f ms\n", "late (300 spheres)",
                medianFrameSeconds(152.0f, 163.5f, 3) * 1000.0);
    glfwTerminate();
    return 0;
}
