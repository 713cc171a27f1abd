// The live program's options against the real driver: a timeline started late draws what a run
// from the start draws, with the music in step, and the desktop window's picture follows its size.
#include "audio/sound_engine.h"
#include "context/window.h"
#include "demo/frame.h"
#include "demo/frame_at.h"
#include "demo/late_start.h"
#include "demo/startup.h"
#include "render/gl.h"
#include "schedule/clock.h"
#include "support/gl_context.h"
#include "support/small_window.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
std::vector<unsigned char> readPicture(int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

void drawAt(double seconds) {
    pinTimer(seconds);
    drawDemoAt(seconds, DemoClock::Live);
}

// A viewer's run from the start on a 60 Hz display, cut down: a frame every two seconds from a
// typical start-up time on, the last frame of each scene (each leaves state to those after it; the
// title its tilt, which scene 4 takes up), then the frames at seconds - 0.5 and seconds (a scene
// also leaves state to its own next frame: the finale draws its lights where the frame before put
// them). Run in a process of its own, since the scenes' GL objects are made once per process.
bool drawRunFromTheStart(double seconds, const std::string& path) {
    GLFWwindow* window = openSmallWindow();
    if (window == nullptr) {
        return false;
    }
    runStartUpFor(window);
    std::vector<double> times;
    for (double t = 1.2; t < seconds - 0.5; t += 2.0) {
        times.push_back(t);
    }
    for (double bound : {24.0, 44.0, 67.0, 83.0, 112.0, 129.0}) {
        times.push_back(bound - 1.0 / 60.0);
    }
    std::sort(times.begin(), times.end());
    for (double t : times) {
        if (t < seconds - 0.5) {
            drawAt(t);
        }
    }
    drawAt(seconds - 0.5);
    drawAt(seconds);
    const std::vector<unsigned char> pixels = readPicture(smallWidth, smallHeight);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<long>(pixels.size()));
    return static_cast<bool>(out);
}

// The live program started with --from `from` (from + 1 = seconds) and the run from the start
// above, at the same time and size, differ in this many bytes of the picture. The music's
// position is checked at the late start's first frame.
size_t bytesDifferingFromARunFromTheStart(double from) {
    const double seconds = from + 1.0;
    const std::string fromStartPath = "/tmp/heptad-from-start-" + std::to_string(getpid());
    const pid_t child = fork();
    if (child == 0) {
        _exit(drawRunFromTheStart(seconds, fromStartPath) ? 0 : 1);
    }

    GLFWwindow* window = openSmallWindow();
    EXPECT_NE(window, nullptr);
    if (window == nullptr) {
        return SIZE_MAX;
    }
    runStartUpFor(window);
    const auto started = std::chrono::steady_clock::now();
    startTimelineAt(from);
    std::printf(
        "started at %g s in %.0f ms\n", from,
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
            .count());
    // The first frame, on the live clock: its time and the music's position as it begins.
    const double firstFrameTime = timerSeconds();
    const double musicAtFirstFrame = soundEngine->musicPosition();
    bool musicStarted = true;
    runFrame(window, musicStarted);
    EXPECT_NEAR(firstFrameTime, from, 0.05);
    if (soundEngine->tracksStarted() == 1) {
        EXPECT_NEAR(musicAtFirstFrame, from, 0.05);
    } else {
        std::printf("no generated track or no audio device: the music is not checked\n");
    }
    drawAt(seconds - 0.5);
    drawAt(seconds);
    const std::vector<unsigned char> late = readPicture(smallWidth, smallHeight);
    glfwTerminate();

    int status = 0;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the run from the start failed";
    std::ifstream in(fromStartPath, std::ios::binary);
    const std::vector<unsigned char> fromStart{std::istreambuf_iterator<char>(in), {}};
    std::remove(fromStartPath.c_str());
    EXPECT_EQ(fromStart.size(), late.size());
    if (fromStart.size() != late.size()) {
        return SIZE_MAX;
    }
    size_t differing = 0;
    for (size_t i = 0; i < late.size(); ++i) {
        differing += late[i] != fromStart[i];
    }
    return differing;
}
} // namespace

TEST(Player, From129DrawsTheFinaleAt130AsARunFromTheStartDoes) {
    EXPECT_EQ(bytesDifferingFromARunFromTheStart(129.0), 0u);
}

// Scene 4 turns its card about an axis that the title's last frame left behind.
TEST(Player, From79DrawsScene4At80AsARunFromTheStartDoes) {
    EXPECT_EQ(bytesDifferingFromARunFromTheStart(79.0), 0u);
}

TEST(Player, TheDesktopWindowIsResizableAndItsPictureFollowsItsSize) {
    ASSERT_TRUE(glfwInit());
    GLFWwindow* window = openPlayerWindow(true);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(glfwGetWindowMonitor(window), nullptr); // not fullscreen
    EXPECT_EQ(glfwGetWindowAttrib(window, GLFW_RESIZABLE), GLFW_TRUE);
    EXPECT_EQ(glfwGetInputMode(window, GLFW_CURSOR), GLFW_CURSOR_NORMAL);
    ASSERT_TRUE(glEntryPointsLoaded());
    runStartUpFor(window);

    glfwSetWindowSize(window, 960, 540);
    int width = 0;
    int height = 0;
    for (int i = 0; i < 100 && width != 960; ++i) {
        glfwWaitEventsTimeout(0.05);
        glfwGetFramebufferSize(window, &width, &height);
    }
    ASSERT_EQ(width, 960);
    ASSERT_EQ(height, 540);
    glfwPollEvents();
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], width);
    EXPECT_EQ(viewport[3], height);

    // The title card sits in the middle of the picture: its margins must be alike on both
    // sides of the new framebuffer, not those of the old, larger one.
    drawAt(10.0);
    const std::vector<unsigned char> pixels = readPicture(width, height);
    int left = width, right = -1, bottom = height, top = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = &pixels[(static_cast<size_t>(y) * width + x) * 4];
            if (std::max({p[0], p[1], p[2]}) > 60) {
                left = std::min(left, x);
                right = std::max(right, x);
                bottom = std::min(bottom, y);
                top = std::max(top, y);
            }
        }
    }
    ASSERT_GE(right, left) << "nothing drawn";
    EXPECT_NEAR(left, width - 1 - right, width / 50);
    EXPECT_NEAR(bottom, height - 1 - top, height / 50);
    glfwTerminate();
}
