// Two sets of shaders drawing the same frames in one process, frame by frame in turn: for
// comparing a shader change against what it replaces, where the cost of the frames decides.
// Each frame is drawn and read back a few times with each set, and the least CPU time counts
// (this process with Mesa's render threads): on a machine shared with other work, wall time
// mostly measures the waiting, and the least of a few tries is the one least disturbed.
// Both folders need the runtime folder's layout (shaders, imgs/); run under an X server:
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/shader_ab_bench <folder A> <folder B>
//       [--size WxH] [--frames N] [--tries N] [--only title,finale]
#include "bench_stats.h"
#include "demo/frame_timing.h"

#include "context/window.h"
#include "demo/frame_at.h"
#include "demo/startup.h"
#include "ibl/ibl.h"
#include "render/gl.h"
#include "scenes/resources.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
// Every program a scene draws with; start-up builds them from the working folder.
struct Programs {
    Shader title, scene2, scene3, scene4, scene5, scene6, pbr, background;
};

Programs current() {
    return {titleShader,  scene2Shader, scene3Shader, scene4Shader,
            scene5Shader, scene6Shader, pbrShader,    backgroundShader};
}

void use(const Programs& p) {
    titleShader = p.title;
    scene2Shader = p.scene2;
    scene3Shader = p.scene3;
    scene4Shader = p.scene4;
    scene5Shader = p.scene5;
    scene6Shader = p.scene6;
    pbrShader = p.pbr;
    backgroundShader = p.background;
}

// Fragments that passed the depth test, and so were shaded, in one drawing of the frame at t.
GLuint shadedFragments(float t) {
    GLuint query = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_SAMPLES_PASSED, query);
    drawDemoAt(t, DemoClock::Pinned);
    glEndQuery(GL_SAMPLES_PASSED);
    GLuint samples = 0;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &samples);
    glDeleteQueries(1, &query);
    return samples;
}

double drawSeconds(float t, int width, int height, std::vector<unsigned char>& pixels) {
    const double start = processCpuSeconds();
    drawDemoAt(t, DemoClock::Pinned);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return processCpuSeconds() - start;
}
} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> folders;
    int width = 1920;
    int height = 1080;
    int frames = 6;
    int tries = 3;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--size" && i + 1 < argc) {
            std::sscanf(argv[++i], "%dx%d", &width, &height);
        } else if (arg == "--frames" && i + 1 < argc) {
            frames = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--tries" && i + 1 < argc) {
            tries = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--only" && i + 1 < argc) {
            only = "," + std::string(argv[++i]) + ",";
        } else {
            // Absolute, as start-up enters each folder in turn.
            folders.push_back(std::filesystem::absolute(arg).string());
        }
    }
    if (folders.size() != 2) {
        std::printf("usage: shader_ab_bench <folder A> <folder B> [--size WxH] [--frames N] "
                    "[--tries N] [--only title,finale]\n");
        return 1;
    }
    if (!glfwInit()) {
        std::printf("no display: run under xvfb-run\n");
        return 1;
    }
    hintGl33CoreContext();
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(width, height, "shader A/B", nullptr, nullptr);
    if (window == nullptr) {
        std::printf("no OpenGL 3.3 core context\n");
        return 1;
    }
    glfwMakeContextCurrent(window);
    if (!glEntryPointsLoaded()) {
        return 1;
    }
    std::vector<Programs> sets;
    for (const std::string& folder : folders) {
        if (chdir(folder.c_str()) != 0) {
            std::printf("no folder %s\n", folder.c_str());
            return 1;
        }
        int framebufferWidth = 0;
        int framebufferHeight = 0;
        glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);
        runStartUp(framebufferWidth, framebufferHeight);
        sets.push_back(current());
    }
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    std::printf(
        "%dx%d, %d frames a scene, least of %d tries; CPU ms a frame, drawn and read back\n", width,
        height, frames, tries);
    // Shaded fragments a pixel: how many times over the scene's own drawing (A's programs)
    // covers the picture; each cover pays for the whole fragment stage.
    std::printf("| scene | A | B | B / A | shaded a pixel |\n|---|---|---|---|---|\n");
    for (const BenchWindow& scene : benchWindows()) {
        // "scene 2" is also asked for as "scene2"; "finale" names all three of its rows.
        std::string name = scene.name;
        const std::string group = name.substr(0, name.find(' '));
        name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
        if (!only.empty() && only.find("," + name + ",") == std::string::npos &&
            only.find("," + group + ",") == std::string::npos) {
            continue;
        }
        double totals[2] = {0.0, 0.0};
        double shaded = 0.0;
        for (int i = 0; i < frames; ++i) {
            const float t = scene.start + (scene.end - scene.start) * (i + 0.5f) / frames;
            use(sets[0]);
            shaded += shadedFragments(t);
            for (int set = 0; set < 2; ++set) {
                use(sets[set]);
                double fastest = 1e9;
                for (int attempt = 0; attempt < tries; ++attempt) {
                    fastest = std::min(fastest, drawSeconds(t, width, height, pixels));
                }
                totals[set] += fastest;
            }
        }
        std::printf("| %s | %.1f | %.1f | %.2f | %.1f |\n", scene.name, 1000.0 * totals[0] / frames,
                    1000.0 * totals[1] / frames, totals[1] / totals[0],
                    shaded / frames / (double(width) * height));
        std::fflush(stdout);
    }
    glfwTerminate();
    return 0;
}
