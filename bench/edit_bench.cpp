// Edit mode's figures at 1280x720 under the current X display: the time from saving a shader to
// the end of the first frame that shows it (10 saves at random moments, in the title and in
// scene 3's filled cubes), and the time of a jump from the finale back to scene 3 and from scene 3
// on to the finale, its first frame included. Works on a copy of the shaders in a temporary folder.
// Run from anywhere: SDL_AUDIODRIVER=dummy edit_bench
#include "bench_stats.h"

#include "context/window.h"
#include "demo/demo_session.h"
#include "demo/startup.h"
#include "edit/file_watch.h"
#include "edit/live_reload.h"
#include "render/gl.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {
constexpr int saves = 10;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The shader as it is, and with its colour turned negative just before main's closing brace.
std::string negative(const std::string& shader) {
    std::string changed = shader;
    changed.insert(changed.rfind('}'), "    FragColor.rgb = vec3(1.0) - FragColor.rgb;\n");
    return changed;
}

// Saves alternate versions of the file at random moments, 150 to 450 ms apart, noting when each
// save was complete; the frame loop runs meanwhile.
void measureSaves(GLFWwindow* window, DemoSession& session, FileWatch& watch, const char* file,
                  double at, const char* label) {
    const std::string original = readFile(file);
    const std::string changed = negative(original);
    session.moveTo(at);
    std::vector<Clock::time_point> savedAt(saves);
    std::atomic<int> saved{0};
    std::thread saver([&]() {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> pause(150, 450);
        for (int i = 0; i < saves; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
            std::ofstream(file) << (i % 2 == 0 ? changed : original);
            savedAt[i] = Clock::now();
            saved = i + 1;
        }
    });

    std::vector<double> latencies;
    std::vector<double> frames;
    std::vector<double> rebuilds;
    int shown = 0;
    while (shown < saves) {
        const Clock::time_point frameStart = Clock::now();
        const bool reloaded = !reloadSavedFiles(watch.savedFiles()).rebuilt.empty();
        if (reloaded) {
            rebuilds.push_back(millisecondsSince(frameStart));
        }
        session.drawFrame();
        glfwSwapBuffers(window);
        glFinish();
        glfwPollEvents();
        frames.push_back(millisecondsSince(frameStart));
        if (reloaded) {
            // The save whose event was read: the latest one complete by now.
            const int index = saved - 1;
            latencies.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - savedAt[index]).count());
            shown = index + 1;
        }
    }
    saver.join();
    std::ofstream(file) << original;
    watch.savedFiles();
    reloadSavedFiles({file});
    std::printf("%-8s save to frame: median %.0f ms, worst %.0f ms over %zu saves (frames: median "
                "%.0f ms; the rebuild: median %.0f ms, worst %.0f ms)\n",
                label, median(latencies), *std::max_element(latencies.begin(), latencies.end()),
                latencies.size(), median(frames), median(rebuilds),
                *std::max_element(rebuilds.begin(), rebuilds.end()));
}

double timeJump(DemoSession& session, double from, double to) {
    session.moveTo(from);
    session.drawFrame();
    glFinish();
    const Clock::time_point start = Clock::now();
    session.moveTo(to);
    session.drawFrame();
    glFinish();
    return millisecondsSince(start);
}
} // namespace

int main() {
    const fs::path folder =
        fs::temp_directory_path() / ("heptad-edit-bench-" + std::to_string(getpid()));
    const fs::path runtime(HEPTAD_RUNTIME_DIR);
    fs::create_directories(folder);
    fs::copy(runtime / "labShaders", folder / "labShaders", fs::copy_options::recursive);
    fs::copy(runtime / "labshaders", folder / "labshaders", fs::copy_options::recursive);
    fs::create_directory_symlink(runtime / "imgs", folder / "imgs");
    if (chdir(folder.c_str()) != 0 || !glfwInit()) {
        return 1;
    }
    hintGl33CoreContext();
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(1280, 720, "Heptad edit bench", nullptr, nullptr);
    if (window == nullptr) {
        std::fprintf(stderr, "edit_bench: no window (no display?)\n");
        return 1;
    }
    glfwMakeContextCurrent(window);
    glfwSetFramebufferSizeCallback(window, onFramebufferSize);
    // No frame waits for the display: the figures are the program's own.
    glfwSwapInterval(0);
    int framebufferWidth = 0;
    int framebufferHeight = 0;
    glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);
    runStartUp(framebufferWidth, framebufferHeight);
    FileWatch watch(watchedFolders());
    DemoSession session(glfwGetTime);

    measureSaves(window, session, watch, "labShaders/title.fs", 5.0, "title");
    measureSaves(window, session, watch, "labShaders/Scene3.fs", 60.0, "scene 3");

    session.togglePause();
    std::vector<double> back;
    std::vector<double> on;
    for (int i = 0; i < 3; ++i) {
        back.push_back(timeJump(session, 150.0, 50.0));
        on.push_back(timeJump(session, 50.0, 150.0));
    }
    std::printf(
        "jump finale (150 s) -> scene 3 (50 s): median %.0f ms of 3, first frame included\n",
        median(back));
    std::printf(
        "jump scene 3 (50 s) -> finale (150 s): median %.0f ms of 3, first frame included\n",
        median(on));
    glfwTerminate();
    fs::remove_all(folder);
    return 0;
}
