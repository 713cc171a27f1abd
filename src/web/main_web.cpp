// Heptad in the browser: the desktop program's start-up, then its frames driven by the
// browser's animation frames instead of a loop, through the page's player (web/page_player.h).
// The page (web/page.js) calls main on the viewer's click, once the data package has put the
// shaders and images at their usual relative paths in the in-memory file system.
#include "demo/frame_at.h"
#include "demo/frame_plan.h"
#include "demo/frame_timing.h"
#include "demo/startup.h"
#include "render/gl.h"
#include "scenes/resources.h"
#include "schedule/clock.h"
#include "schedule/schedule.h"
#include "web/page_player.h"
#include "web/web_options.h"

#include <emscripten.h>
#include <emscripten/html5.h>
#include <string>
#include <vector>

// clang-format off
EM_JS(void, pageReport, (const char* what, double value, int scene), {
    Module.report(UTF8ToString(what), value, scene);
});
EM_JS(void, pageShowStill, (const unsigned char* rgba, int width, int height), {
    Module.showStill(HEAPU8.slice(rgba, rgba + width * height * 4), width, height);
});
EM_JS(void, pageShowEnd, (), {
    Module.showEnd();
});
EM_JS(void, pageFail, (const char* message), {
    Module.showFailure(UTF8ToString(message));
});
// clang-format on

namespace {
GLFWwindow* window = nullptr;
WebOptions options;

int drainGlErrors() {
    int count = 0;
    while (glGetError() != GL_NO_ERROR) {
        ++count;
    }
    return count;
}

void endDemo() {
    emscripten_cancel_main_loop();
    glfwTerminate();
    pageShowEnd();
}

// One animation frame, the buffer swap being the browser's. The demo ends on the timeline's end
// or on Escape, as the desktop loop does.
void playFrame() {
    const PlayedFrame played = playPageFrame(window);
    const int scene = static_cast<int>(timelineScene(recordingDemoTime(played.time)));
    if (options.glCheck) {
        pageReport("glerrors", drainGlErrors(), scene);
    }
    if (played.held) {
        pageReport("gentle", 1, scene);
    }
    pageReport("frame", played.time, scene);
    if (played.timeUp) {
        endDemo();
        return;
    }
    if (glfwWindowShouldClose(window)) {
        deleteSpareCube();
        endDemo();
    }
}

// The frame at stillTime after the frames whose state it inherits, as heptad-capture --still
// renders it (at its default 60 fps), read back for the page.
void renderStill() {
    const int fps = 60;
    drawWarmUpFor(options.stillTime, fps);
    drawDemoAt(options.stillTime, DemoClock::Pinned);
    std::vector<unsigned char> rgba(static_cast<size_t>(options.width) * options.height * 4);
    glReadPixels(0, 0, options.width, options.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    if (options.glCheck) {
        pageReport("glerrors", drainGlErrors(), 0);
    }
    pageShowStill(rgba.data(), options.width, options.height);
}
} // namespace

// Called by the page: the viewer left fullscreen with Escape, which the browser keeps for itself.
extern "C" EMSCRIPTEN_KEEPALIVE void heptadRequestClose() {
    if (window != nullptr) {
        glfwSetWindowShouldClose(window, GLFW_TRUE);
    }
}

int main(int argc, char** argv) {
    std::string error;
    options = parseWebOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!error.empty()) {
        pageFail(error.c_str());
        return 1;
    }
    setClockSpeed(options.speed);

    glfwInit();
    // An opaque canvas: the scenes clear alpha to 0.7, which the page must not show through.
    glfwWindowHint(GLFW_ALPHA_BITS, 0);
    window = glfwCreateWindow(options.width, options.height, "", nullptr, nullptr);
    if (window == nullptr) {
        pageFail("This browser offers no WebGL 2, which Heptad draws with.");
        return 1;
    }
    glfwMakeContextCurrent(window);
    if (!emscripten_webgl_enable_extension(emscripten_webgl_get_current_context(),
                                           "EXT_color_buffer_float")) {
        pageFail("This browser's WebGL 2 cannot render into float images "
                 "(EXT_color_buffer_float), which the lighting needs.");
        return 1;
    }

    int framebufferWidth = 0;
    int framebufferHeight = 0;
    glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);
    runStartUp(framebufferWidth, framebufferHeight);
    if (options.glCheck) {
        pageReport("glerrors", drainGlErrors(), -1);
    }
    if (options.benchFrames > 0) {
        benchTimeline(options.benchFrames,
                      [](const char* name, double ms) { pageReport(name, ms, 0); });
        pageReport("bench done", 0, 0);
        return 0;
    }
    if (options.still) {
        renderStill();
        return 0;
    }
    startPagePlayer(window, options.gentle);
    if (options.glCheck) {
        pageReport("glerrors", drainGlErrors(), -1);
    }
    emscripten_set_main_loop(playFrame, 0, 0);
    return 0;
}
