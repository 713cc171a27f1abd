#pragma once
#include "render/gl.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>
#include <string>

// A 1920 x 1080 window with the program's context hints (3.3 core) on the test X server, current
// for the whole test, with the global state that start-up sets before any precompute.
class GlTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // RGBA8 pixel of the back buffer at (x, y), origin bottom left.
    static glm::u8vec4 pixelAt(int x, int y);

    GLFWwindow* window = nullptr;
};

// Start-up, or only the lighting precompute, for a window's framebuffer size, as the live
// program runs them.
void runStartUpFor(GLFWwindow* window);
void buildLightingMapsFor(GLFWwindow* window);

// Reads integer / float GL state in one call, for terse assertions.
int glInt(GLenum name);
float glFloat(GLenum name);

// A uniform's current value in `program`, read back from the driver. A name the program does not
// have fails the test, and reads as NaN or -1 so that it cannot pass for a zero.
float uniformFloat(unsigned int program, const std::string& name);
int uniformInt(unsigned int program, const std::string& name);
glm::vec3 uniformVec3(unsigned int program, const std::string& name);
glm::mat4 uniformMat4(unsigned int program, const std::string& name);
