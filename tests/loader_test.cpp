#include "context/window.h"
#include "support/capture_stdout.h"
#include "support/gl_context.h"

// A context below 3.3 cannot be had from Mesa on demand, so the failure path is driven
// directly: it must report, and must shut the window library down before main returns -1, so
// a fullscreen window gives the monitor its video mode back.
TEST(GlLoader, FailurePrintsTheMessageAndTerminatesTheWindowLibrary) {
    ASSERT_TRUE(glfwInit());
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(64, 64, "", nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    glfwMakeContextCurrent(window);
    ASSERT_NE(glfwGetPrimaryMonitor(), nullptr);

    StdoutCapture capture;
    EXPECT_EQ(failGlLoader(), -1);
    EXPECT_EQ(capture.finish(), "Failed to initialize GLAD\n");

    // After glfwTerminate every window is gone and the library answers as uninitialised.
    EXPECT_EQ(glfwGetCurrentContext(), nullptr);
    EXPECT_EQ(glfwGetPrimaryMonitor(), nullptr);
    EXPECT_EQ(glfwGetError(nullptr), GLFW_NOT_INITIALIZED);
}

TEST(GlLoader, AThreeThreeCoreContextCounts) {
    ASSERT_TRUE(glfwInit());
    hintGl33CoreContext();
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(64, 64, "", nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    glfwMakeContextCurrent(window);
    EXPECT_TRUE(glEntryPointsLoaded());
    glfwTerminate();
}
