// Heptad: a fullscreen OpenGL demo of seven scenes to a 128 BPM track, 164 seconds long.
#include "audio/sound_engine.h"
#include "base/data_folder.h"
#include "base/stop_signal.h"
#include "base/version.h"
#include "context/window.h"
#include "demo/frame_loop.h"
#include "demo/late_start.h"
#include "demo/startup.h"
#include "demo/window_close.h"
#include "edit/edit_mode.h"
#include "flash/flash_limiter.h"
#include "player/player_options.h"
#include "render/gl.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <unistd.h>

namespace {
constexpr int exitUsage = 2;
} // namespace

int main(int argc, char** argv) {
    const ParsedPlayerOptions parsed =
        parsePlayerOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "heptad: %s (see --help)\n", parsed.error.c_str());
        soundEngine->close();
        return exitUsage;
    }
    if (parsed.options.help) {
        std::fputs(playerUsage().c_str(), stdout);
        soundEngine->close();
        return 0;
    }
    if (parsed.options.version) {
        std::puts("heptad " HEPTAD_VERSION);
        soundEngine->close();
        return 0;
    }
    const PlayerOptions& options = parsed.options;
    // Started where the data is, the program stays there; started elsewhere, it moves to the data
    // beside it or installed with it. Without any, start-up says which files it could not read.
    if (!holdsDemoData(".")) {
        const std::string data = dataFolderFor(programFolder());
        if (data.empty() || chdir(data.c_str()) != 0) {
            std::cerr << "heptad: the demo's data (labShaders/, labshaders/, imgs/) is neither "
                         "here nor beside this program nor installed with it"
                      << std::endl;
        }
    }
    installStopSignals();

    glfwInit(); // a failure shows up as a failed window below
    GLFWwindow* window = openPlayerWindow(options.inWindow);
    if (window == nullptr && options.edit) {
        std::cerr << "heptad: --edit needs a display to open its window on; without one, record "
                     "the demo with ./heptad-capture instead"
                  << std::endl;
        soundEngine->close();
        glfwTerminate();
        return exitUsage;
    }
    if (window == nullptr) {
        std::cout << "Failed to create GLFW window" << std::endl;
        std::cerr << "heptad: no window could be opened (no display?); to record the demo to a "
                     "video instead, run ./heptad-capture here, or ./play.sh in the source folder"
                  << std::endl;
        soundEngine->close();
        glfwTerminate();
        return -1;
    }
    if (!glEntryPointsLoaded()) {
        soundEngine->close();
        return failGlLoader();
    }

    int framebufferWidth = 0;
    int framebufferHeight = 0;
    glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);
    runStartUp(framebufferWidth, framebufferHeight);
    if (options.edit) {
        return runEditMode(window, options.fromGiven ? options.fromSeconds : -1.0);
    }
    std::unique_ptr<FlashLimiter> limiter;
    if (options.gentle) {
        limiter = std::make_unique<FlashLimiter>();
    }
    bool musicStarted = false;
    if (options.fromGiven) {
        startTimelineAt(options.fromSeconds, limiter.get(), framebufferWidth, framebufferHeight);
        musicStarted = true;
    }

    const auto frame = [&] { return runFrame(window, musicStarted, limiter.get()); };
    if (runFrameLoop(window, frame) == FrameEnd::TimeUp) {
        // The last frame is neither presented nor cleaned up after.
        soundEngine->close();
        glfwTerminate();
        return 0;
    }
    return endAfterWindowClose();
}
