#include "edit/edit_mode.h"

#include "audio/sound_engine.h"
#include "demo/demo_session.h"
#include "demo/frame_loop.h"
#include "demo/frame_plan.h"
#include "demo/keys.h"
#include "demo/transport_keys.h"
#include "demo/window_close.h"
#include "edit/edit_overlay.h"
#include "edit/file_watch.h"
#include "edit/live_reload.h"
#include "render/gl.h"
#include "schedule/clock.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
void applyKey(GLFWwindow* window, DemoSession& session, const KeyPress& press, bool& overlayShown) {
    if (applyTransportKey(session, press.key, press.mods)) {
        return;
    }
    switch (press.key) {
    case GLFW_KEY_H:
        overlayShown = !overlayShown;
        break;
    case GLFW_KEY_ESCAPE:
        // Also a press shorter than a frame, which the held-key check can miss.
        glfwSetWindowShouldClose(window, GLFW_TRUE);
        break;
    default:
        break;
    }
}

std::string statusLine(double t, double frameMs, bool paused) {
    char text[160];
    std::snprintf(text, sizeof text, "%7.2f s  %6s  %-7s  %6.1f ms%s", t, barBeat(t).c_str(),
                  sceneName(timelineScene(recordingDemoTime(t))), frameMs,
                  paused ? "  paused" : "");
    return text;
}

bool underUsr(const std::string& path) {
    return path.rfind("/usr/", 0) == 0;
}
} // namespace

std::string readOnlyDataAdvice() {
    for (const char* folder : {"labShaders", "labshaders"}) {
        char resolved[PATH_MAX];
        if (realpath(folder, resolved) == nullptr) {
            continue;
        }
        struct stat info {};
        const bool noWriteBits = stat(resolved, &info) == 0 && (info.st_mode & 0222) == 0;
        if (access(resolved, W_OK) != 0 || noWriteBits || underUsr(resolved)) {
            char here[PATH_MAX];
            const std::string data = getcwd(here, sizeof here) != nullptr ? here : ".";
            return "heptad: the shaders in " + data +
                   " are read-only here (installed data), so edits cannot be saved; edit a copy: "
                   "cp -r " +
                   data + " ~/heptad-edit && cd ~/heptad-edit && chmod -R u+w . && heptad --edit";
        }
    }
    return "";
}

int runEditMode(GLFWwindow* window, double fromSeconds) {
    const std::string readOnly = readOnlyDataAdvice();
    if (!readOnly.empty()) {
        std::cerr << readOnly << std::endl;
    }
    FileWatch watch(watchedFolders());
    DemoSession session(clockSeconds);
    EditOverlay overlay;
    keepKeyPresses(window);
    if (fromSeconds >= 0.0) {
        session.moveTo(fromSeconds);
    }

    bool overlayShown = true;
    std::vector<std::string> failures;
    bool titlePaused = false;
    double lastTitleWall = -1.0;
    double frameMs = 0.0;
    auto frameStart = std::chrono::steady_clock::now();
    bool firstFrame = true;
    runFrameLoop(window, [&] {
        // The time from the last frame's start to this one's: what a frame took, shown on the
        // next.
        const auto now = std::chrono::steady_clock::now();
        if (!firstFrame) {
            frameMs = std::chrono::duration<double, std::milli>(now - frameStart).count();
        }
        frameStart = now;
        firstFrame = false;

        const std::vector<std::string> saved = watch.savedFiles();
        if (!saved.empty()) {
            const ReloadOutcome outcome = reloadSavedFiles(saved);
            for (const auto& [old, replacement] : outcome.replacedPrograms) {
                session.renameProgram(old, replacement);
            }
            // A notice stays until its program builds again.
            for (const std::string& file : outcome.triedFiles) {
                failures.erase(std::remove_if(failures.begin(), failures.end(),
                                              [&file](const std::string& failure) {
                                                  return failure.rfind(file + ":", 0) == 0;
                                              }),
                               failures.end());
            }
            failures.insert(failures.end(), outcome.failures.begin(), outcome.failures.end());
            if (outcome.lightingRedone) {
                std::cout << "heptad: lighting maps rendered again" << std::endl;
            }
        }
        handleKeys(window);
        for (const KeyPress& press : takeKeyPresses()) {
            applyKey(window, session, press, overlayShown);
        }

        session.startMusic();
        const double t = session.drawFrame();

        const std::string status = statusLine(t, frameMs, session.paused());
        std::vector<OverlayLine> lines;
        if (overlayShown) {
            lines.push_back({status, glm::vec3(1.0f)});
        }
        for (const std::string& failure : failures) {
            lines.push_back({failure.substr(0, 110), glm::vec3(1.0f, 0.45f, 0.35f)});
        }
        if (!readOnly.empty() && overlayShown) {
            lines.push_back(
                {"read-only shaders: edit a copy (see the terminal)", glm::vec3(1.0f, 0.8f, 0.3f)});
        }
        int width = 0;
        int height = 0;
        glfwGetFramebufferSize(window, &width, &height);
        overlay.draw(lines, width, height);
        // A few title changes a second are plenty, and spare the window manager.
        const double wall = glfwGetTime();
        if (wall - lastTitleWall > 0.25 || session.paused() != titlePaused) {
            glfwSetWindowTitle(window, ("Heptad  " + status).c_str());
            titlePaused = session.paused();
            lastTitleWall = wall;
        }
        return FrameEnd::Present;
    });

    return endAfterWindowClose();
}
