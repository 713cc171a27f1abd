// Start-up benchmark: process start to the first frame presented, and the first frame's
// demoTime, as the median of several fresh processes under the current X display.
// Run from anywhere: startup_bench [runs]
#include "bench_stats.h"

#include "context/window.h"
#include "demo/frame.h"
#include "demo/startup.h"
#include "render/gl.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
// Seconds since this process started, from the kernel's record of its start (10 ms ticks).
double secondsSinceProcessStart() {
    std::ifstream statFile("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i) {
        fields >> field; // field 22 is the start time in clock ticks after boot
    }
    const double started = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9 - started;
}

// The program's own start-up and first frame, step for step.
int runOnce() {
    if (chdir(HEPTAD_RUNTIME_DIR) != 0) {
        return 1;
    }
    glfwInit();
    hintGl33CoreContext();
    glfwWindowHint(GLFW_REFRESH_RATE, 60);
    GLFWwindow* window = glfwCreateWindow(1920, 1080, "", glfwGetPrimaryMonitor(), nullptr);
    if (window == nullptr) {
        return 1;
    }
    glfwMakeContextCurrent(window);
    glfwSetFramebufferSizeCallback(window, onFramebufferSize);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
    int framebufferWidth = 0;
    int framebufferHeight = 0;
    glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);
    runStartUp(framebufferWidth, framebufferHeight);
    bool musicStarted = false;
    const double firstDemoTime = glfwGetTime();
    runFrame(window, musicStarted);
    glfwSwapBuffers(window);
    glFinish();
    const double presented = secondsSinceProcessStart();
    std::fprintf(stderr, "%.6f %.6f\n", presented, firstDemoTime);
    glfwTerminate();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--once") == 0) {
        return runOnce();
    }
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    std::vector<double> startUps, demoTimes;
    for (int run = 0; run < runs; ++run) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0) {
            return 1;
        }
        std::fflush(stdout);
        const pid_t child = fork();
        if (child == 0) {
            dup2(pipeFds[1], 2);
            close(pipeFds[0]);
            freopen("/dev/null", "w", stdout); // the program's own messages are not the figure
            execl("/proc/self/exe", argv[0], "--once", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeFds[1]);
        char line[256] = {};
        FILE* in = fdopen(pipeFds[0], "r");
        double startUp = 0, demoTime = 0;
        while (std::fgets(line, sizeof line, in) != nullptr) {
            std::sscanf(line, "%lf %lf", &startUp, &demoTime);
        }
        std::fclose(in);
        int status = 0;
        waitpid(child, &status, 0);
        if (startUp <= 0) {
            std::fprintf(stderr, "run %d failed (no display?)\n", run);
            return 1;
        }
        startUps.push_back(startUp);
        demoTimes.push_back(demoTime);
        std::printf("run %d: first frame presented %.0f ms after process start, demoTime %.3f s\n",
                    run + 1, startUp * 1000, demoTime);
    }
    std::printf("median of %d runs: start-up %.0f ms, first frame demoTime %.3f s\n", runs,
                median(startUps) * 1000, median(demoTimes));
    return 0;
}
