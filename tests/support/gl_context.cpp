#include "support/gl_context.h"

#include "context/window.h"
#include "demo/startup.h"
#include "ibl/ibl.h"

#include <cmath>
#include <glm/glm.hpp>
#include <string>
#include <unistd.h>

namespace {
std::string lastGlfwError;
void recordGlfwError(int, const char* description) {
    lastGlfwError = description;
}

// A shared X server under a full parallel run (sanitizers, nested servers starting) has been seen
// to refuse one connection; a few tries tell that apart from having no server at all.
bool initialiseWindowLibrary() {
    glfwSetErrorCallback(recordGlfwError);
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (glfwInit()) {
            return true;
        }
        usleep(500000);
    }
    return false;
}
} // namespace

void GlTest::SetUp() {
    ASSERT_TRUE(initialiseWindowLibrary())
        << "no X server: run the tests through the test command (" << lastGlfwError << ")";
    hintGl33CoreContext();
    window = glfwCreateWindow(1920, 1080, "heptad test", nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    glfwMakeContextCurrent(window);
    glfwSetFramebufferSizeCallback(window, onFramebufferSize);
    ASSERT_TRUE(glEntryPointsLoaded());
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    glViewport(0, 0, 1920, 1080);
}

void GlTest::TearDown() {
    if (window != nullptr) {
        glfwDestroyWindow(window);
    }
    glfwTerminate();
}

glm::u8vec4 GlTest::pixelAt(int x, int y) {
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

void buildLightingMapsFor(GLFWwindow* window) {
    int width = 0;
    int height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    buildLightingMaps(width, height);
}
