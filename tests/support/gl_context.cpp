#include "support/gl_context.h"

#include "context/headless_gl.h"
#include "context/window.h"
#include "demo/startup.h"
#include "ibl/ibl.h"

#include <cmath>
#include <glm/glm.hpp>
#include <string>

namespace {
// Global state that start-up sets first, before any precompute.
void setStartUpState() {
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    glViewport(0, 0, testWidth, testHeight);
}
} // namespace

void GlTest::SetUp() {
    std::string error;
    ASSERT_NE(makeHeadlessContext(-1, error), "") << error;
    ASSERT_TRUE(glEntryPointsLoaded());
    ASSERT_TRUE(picture.create(testWidth, testHeight, error)) << error;
    picture.bind();
    setStartUpState();
}

void GlTest::startUp() {
    runStartUp(testWidth, testHeight);
    bindPicture();
}

void GlTest::buildLightingMapsThenBind() {
    buildLightingMaps(testWidth, testHeight);
    bindPicture();
}

void GlWindowTest::SetUp() {
    ASSERT_TRUE(glfwInit()) << "no X server: window tests run under the test command's Xvfb";
    window = openDesktopWindow(testWidth, testHeight, "heptad test");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(glEntryPointsLoaded());
    setStartUpState();
}

void GlWindowTest::TearDown() {
    glfwTerminate();
}

glm::u8vec4 pixelAt(int x, int y) {
    glm::u8vec4 pixel(0);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &pixel[0]);
    return pixel;
}

int glInt(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

float glFloat(GLenum name) {
    GLfloat value = 0;
    glGetFloatv(name, &value);
    return value;
}

namespace {
GLint uniformLocation(unsigned int program, const std::string& name) {
    const GLint location = glGetUniformLocation(program, name.c_str());
    EXPECT_NE(location, -1) << name;
    return location;
}
} // namespace

float uniformFloat(unsigned int program, const std::string& name) {
    GLfloat value = NAN;
    glGetUniformfv(program, uniformLocation(program, name), &value);
    return value;
}

int uniformInt(unsigned int program, const std::string& name) {
    GLint value = -1;
    glGetUniformiv(program, uniformLocation(program, name), &value);
    return value;
}

glm::vec3 uniformVec3(unsigned int program, const std::string& name) {
    glm::vec3 value(NAN);
    glGetUniformfv(program, uniformLocation(program, name), &value[0]);
    return value;
}

glm::mat4 uniformMat4(unsigned int program, const std::string& name) {
    glm::mat4 value(NAN);
    glGetUniformfv(program, uniformLocation(program, name), &value[0][0]);
    return value;
}

void runStartUpFor(GLFWwindow* window) {
    int width = 0;
    int height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    runStartUp(width, height);
}
