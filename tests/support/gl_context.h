#pragma once
#include "context/offscreen_target.h"
#include "render/gl.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>
#include <string>

// The size of the tests' picture, the live program's window size.
constexpr int testWidth = 1920;
constexpr int testHeight = 1080;

// The program's context (3.3 core) with no window and no X server, current for the whole test,
// with the global state that start-up sets before any precompute. There is no default
// framebuffer: the test's picture is a 1920 x 1080 offscreen target, bound from the start.
class GlTest : public ::testing::Test {
  protected:
    void SetUp() override;

    // Start-up for the picture's size, as the live program runs it; the target is bound again
    // afterwards, as the recorder binds its own, since start-up ends on framebuffer 0.
    void startUp();
    // Only the lighting precompute's second half, then the target bound again in the same way.
    void buildLightingMapsThenBind();
    // The picture as the draw and read framebuffer, with the viewport covering it.
    void bindPicture() const { picture.bind(); }

    OffscreenTarget picture;
};

// The same context on a real 1920 x 1080 window on the test X server, for what needs one: the
// frame loop's key reads, its swap and a resize. Its picture is the window's back buffer.
class GlWindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    GLFWwindow* window = nullptr;
};

// RGBA8 pixel of the picture being read (the target, or a window's back buffer) at (x, y),
// origin bottom left.
glm::u8vec4 pixelAt(int x, int y);

// Start-up for a window's framebuffer size, as the live program runs it.
void runStartUpFor(GLFWwindow* window);

// Reads integer / float GL state in one call, for terse assertions.
int glInt(GLenum name);
float glFloat(GLenum name);

// A uniform's current value in `program`, read back from the driver. A name the program does not
// have fails the test, and reads as NaN or -1 so that it cannot pass for a zero.
float uniformFloat(unsigned int program, const std::string& name);
int uniformInt(unsigned int program, const std::string& name);
glm::vec3 uniformVec3(unsigned int program, const std::string& name);
glm::mat4 uniformMat4(unsigned int program, const std::string& name);
