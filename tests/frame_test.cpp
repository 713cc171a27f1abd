#include "audio/sound_engine.h"
#include "demo/frame.h"
#include "schedule/clock.h"
#include "support/gl_context.h"

#include <fstream>

namespace {
class FrameTest : public GlWindowTest {};
} // namespace

// Frames at exact window bounds run no scene, so these need no scene resources.
TEST_F(FrameTest, MusicStartsInTheFirstFrameOnlyWhateverTheTime) {
    ASSERT_TRUE(std::ifstream("demotune.mp3").good()) << "no generated track in the runtime folder";
    ASSERT_TRUE(soundEngine->hasDevice());
    bool musicStarted = false;
    pinTimer(129.0); // the first frame may already lie in a late window
    EXPECT_EQ(runFrame(window, musicStarted), FrameEnd::Present);
    EXPECT_TRUE(musicStarted);
    EXPECT_EQ(soundEngine->tracksStarted(), 1);
    pinTimer(164.0);
    EXPECT_EQ(runFrame(window, musicStarted), FrameEnd::Present);
    EXPECT_EQ(soundEngine->tracksStarted(), 1);
}

TEST_F(FrameTest, ABoundFrameClearsNothing) {
    bool musicStarted = true;
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    for (double bound : {24.0, 44.0, 67.0, 83.0, 112.0, 129.0, 164.0}) {
        pinTimer(bound);
        EXPECT_EQ(runFrame(window, musicStarted), FrameEnd::Present) << bound;
    }
    EXPECT_EQ(pixelAt(5, 5), glm::u8vec4(64, 128, 191, 255));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(FrameTest, PastTheEndTheFrameIsNotPresented) {
    bool musicStarted = true;
    pinTimer(164.01);
    EXPECT_EQ(runFrame(window, musicStarted), FrameEnd::TimeUp);
}

TEST_F(FrameTest, TheViewportFollowsTheFramebuffer) {
    glfwSetWindowSize(window, 800, 600);
    int width = 0;
    int height = 0;
    for (int i = 0; i < 100; ++i) {
        glfwWaitEventsTimeout(0.05);
        glfwGetFramebufferSize(window, &width, &height);
        if (width == 800) {
            break;
        }
    }
    glfwPollEvents();
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], width);
    EXPECT_EQ(viewport[3], height);
    EXPECT_EQ(width, 800);
}
