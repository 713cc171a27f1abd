// What reading frames back through two pixel-pack buffers (one frame behind the renderer) gains
// over reading each frame straight into memory, as the recorder does it: frames of a cheap and
// a dear scene at 1920x1080, each drawn, read back and handed on (a checksum over its bytes
// stands in for the pipe to the encoder), timed per frame over the wall clock.
// Run it from the runtime folder under a display, e.g.
//   cd build/runtime && xvfb-run -a -s "-screen 0 1920x1080x24" ../readback_bench [frames]
#include "context/offscreen_target.h"
#include "context/window.h"
#include "demo/frame_at.h"
#include "demo/frame_plan.h"
#include "demo/startup.h"
#include "render/gl.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
constexpr int width = 1920;
constexpr int height = 1080;
unsigned long checksum = 0;

void handOn(const unsigned char* pixels, size_t bytes) {
    for (size_t i = 0; i < bytes; i += 64) {
        checksum += pixels[i];
    }
}

void render(const OffscreenTarget& target, double time) {
    target.bind();
    drawDemoAt(time, DemoClock::Pinned);
}

double millisecondsSince(std::chrono::steady_clock::time_point start, int frames) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
               .count() /
           frames;
}
} // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 30;
    hintGl33CoreContext();
    if (glfwInit() == GLFW_FALSE) {
        return 1;
    }
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(width, height, "readback_bench", nullptr, nullptr);
    if (window == nullptr) {
        return 1;
    }
    glfwMakeContextCurrent(window);
    int framebufferWidth = 0;
    int framebufferHeight = 0;
    glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);
    runStartUp(framebufferWidth, framebufferHeight);
    OffscreenTarget target;
    std::string error;
    if (!target.create(width, height, error)) {
        std::printf("%s\n", error.c_str());
        return 1;
    }
    std::vector<unsigned char> pixels;
    std::printf("%dx%d, %d frames each, ms a frame (render, read back, hand on)\n", width, height,
                frames);
    std::printf("  %-18s %10s %14s\n", "scene", "direct", "two buffers");
    const struct {
        const char* name;
        double start;
    } scenes[] = {{"scene 2 (cheap)", 30.0}, {"scene 5 (dear)", 95.0}};
    for (const auto& scene : scenes) {
        // The state the scenes before leave, then a frame to warm the driver's caches.
        for (long frame : warmUpFrames(firstFrameAt(scene.start, 60), 60)) {
            render(target, frameSeconds(frame, 60));
        }
        render(target, scene.start);
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < frames; ++i) {
            render(target, scene.start + i / 60.0);
            target.read(pixels);
            handOn(pixels.data(), pixels.size());
        }
        const double direct = millisecondsSince(start, frames);
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < frames; ++i) {
            render(target, scene.start + i / 60.0);
            target.queue();
            if (target.pending() == 2) {
                handOn(target.take(), target.frameBytes());
                target.release();
            }
        }
        handOn(target.take(), target.frameBytes());
        target.release();
        std::printf("  %-18s %10.1f %14.1f\n", scene.name, direct,
                    millisecondsSince(start, frames));
    }
    std::printf("(checksum %lu)\n", checksum);
    return 0;
}
