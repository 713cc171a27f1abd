#include "app/clock.h"
#include "scenes/cube_trails.h"
#include "scenes/resources.h"
#include "scenes/scenes.h"
#include "support/capture_stdout.h"
#include "support/gl_context.h"

#include <cmath>
#include <vector>

namespace {
int polygonMode() {
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], modes[1]);
    return modes[0];
}

float uniformFloat(const Shader& shader, const char* name) {
    float value = NAN;
    glGetUniformfv(shader.programId, glGetUniformLocation(shader.programId, name), &value);
    return value;
}

glm::mat4 uniformMat4(const Shader& shader, const char* name) {
    glm::mat4 value(NAN);
    glGetUniformfv(shader.programId, glGetUniformLocation(shader.programId, name), &value[0][0]);
    return value;
}

class Scene3Test : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        glEnable(GL_DEPTH_TEST);
        StdoutCapture quiet; // other scenes' shaders and the images may be missing here
        createSceneResources();
        quiet.finish();
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    static void frame(float demoTime) {
        pinTimer(demoTime);
        drawScene3(demoTime);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "at " << demoTime;
    }
};
} // namespace

TEST(Scene3Maths, PerCopyTermsAndTheirRounding) {
    const glm::vec3 n = scene3Direction();
    EXPECT_FLOAT_EQ(n.x, 0.6181738f);
    EXPECT_FLOAT_EQ(n.y, 0.6181738f);
    EXPECT_FLOAT_EQ(n.z, 0.4855126f);

    // Copy 0's scale flattens z; the z factor is 0.2 k rounded once from double.
    EXPECT_EQ(scene3Scale(0, 3.0f), glm::vec3(2.0f, std::atan(3.0f), 0.0f));
    EXPECT_EQ(scene3Scale(3, 0.5f).z, 0.6f);
    EXPECT_EQ(scene3Scale(10, 0.5f).z, 2.0f);

    EXPECT_FLOAT_EQ(scene3Step(0).x, 0.0f);
    EXPECT_FLOAT_EQ(scene3Step(0).y, -0.5f * n.y);
    EXPECT_FLOAT_EQ(scene3Step(0).z, -14.0f * n.z);
    EXPECT_FLOAT_EQ(scene3Step(10).x, 0.09f * n.x);
    EXPECT_FLOAT_EQ(scene3Step(10).y, 9.5f * n.y);
    EXPECT_FLOAT_EQ(scene3Step(10).z, -4.0f * n.z);

    EXPECT_EQ(scene3Axis(5), glm::vec3(1.0f, 0.0f, -4.0f));
    EXPECT_EQ(scene3Axis(10), glm::vec3(1.0f, -1.0f, -4.0f));
    EXPECT_EQ(scene3PolygonOffset(0).units, 0.0f);
    EXPECT_FLOAT_EQ(scene3PolygonOffset(10).units, 1.4711276f);
    EXPECT_EQ(scene3PolygonOffset(10).factor, 1.0f);
}

TEST_F(Scene3Test, UniformsOfAFrame) {
    GLint linked = 0;
    glGetProgramiv(scene3Shader.programId, GL_LINK_STATUS, &linked);
    ASSERT_TRUE(linked);
    frame(50.0f);
    EXPECT_EQ(glInt(GL_CURRENT_PROGRAM), static_cast<int>(scene3Shader.programId));
    EXPECT_EQ(glInt(GL_VERTEX_ARRAY_BINDING), static_cast<int>(scene3VAO));
    EXPECT_EQ(uniformFloat(scene3Shader, "time"), 6.0f);

    const glm::mat4 projection = uniformMat4(scene3Shader, "projection");
    EXPECT_FLOAT_EQ(projection[0][0], 1.3579952f);
    EXPECT_FLOAT_EQ(projection[1][1], 2.4142134f);
    EXPECT_FLOAT_EQ(projection[2][2], -1.0022247f);
    EXPECT_FLOAT_EQ(projection[2][3], -1.0f);
    EXPECT_FLOAT_EQ(projection[3][2], -0.2002225f);
    EXPECT_EQ(projection[3][3], 0.0f);

    // Copy 10's view holds all eleven steps: (0.009, 1, 1) * (55, 49.5, -99) along n.
    const glm::mat4 view = uniformMat4(scene3Shader, "view");
    EXPECT_NEAR(view[3][0], 0.495f * 0.6181738f, 1e-5f);
    EXPECT_NEAR(view[3][1], 49.5f * 0.6181738f, 1e-4f);
    EXPECT_NEAR(view[3][2], -99.0f * 0.4855126f, 1e-4f);
    EXPECT_EQ(glm::mat3(view), glm::mat3(1.0f));

    // Copy 0's zero z scale sits leftmost in every product: the whole frame is flat in z.
    const glm::mat4 model = uniformMat4(scene3Shader, "model");
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(model[c][2], 0.0f) << "column " << c;
    }
    EXPECT_EQ(model[3], glm::vec4(0.0f, 0.0f, 0.0f, 1.0f));
}

TEST_F(Scene3Test, LooksChangeAtStrictBounds) {
    frame(51.0f); // u exactly 7 in the first frame: no call, GL's initial fill stays
    EXPECT_EQ(polygonMode(), GL_FILL);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_POINT));
    EXPECT_FALSE(glIsEnabled(GL_PROGRAM_POINT_SIZE));

    frame(45.0f);
    EXPECT_EQ(polygonMode(), GL_LINE);
    frame(51.0f); // after a wireframe frame, lines stay
    EXPECT_EQ(polygonMode(), GL_LINE);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_POINT));

    frame(51.25f);
    EXPECT_EQ(polygonMode(), GL_POINT);
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_POINT));
    EXPECT_TRUE(glIsEnabled(GL_PROGRAM_POINT_SIZE));
    frame(59.0f); // u exactly 15: points stay
    EXPECT_EQ(polygonMode(), GL_POINT);

    frame(66.9f);
    EXPECT_EQ(polygonMode(), GL_FILL);
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_POINT));
    EXPECT_TRUE(glIsEnabled(GL_PROGRAM_POINT_SIZE));
}

TEST_F(Scene3Test, StateLeftBehind) {
    // Line smoothing is not the scene's: whatever came before stays, on or off.
    glEnable(GL_LINE_SMOOTH);
    frame(60.0f);
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    glDisable(GL_LINE_SMOOTH);
    frame(60.5f);
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));

    EXPECT_TRUE(glIsEnabled(GL_PRIMITIVE_RESTART));
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_LINE));
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glFloat(GL_LINE_WIDTH), 2.5f);
    EXPECT_EQ(glFloat(GL_POLYGON_OFFSET_FACTOR), 1.0f);
    EXPECT_FLOAT_EQ(glFloat(GL_POLYGON_OFFSET_UNITS), 1.4711276f);
}

TEST_F(Scene3Test, ClearColourWhereTheWireframeLeavesGaps) {
    frame(45.5f);
    const glm::u8vec4 corner = pixelAt(0, 0);
    EXPECT_NEAR(corner.r, 8, 1);
    EXPECT_EQ(corner.g, 0);
    EXPECT_NEAR(corner.b, 3, 1);
    // ... and the copies' lines elsewhere.
    std::vector<glm::u8vec4> pixels(1920 * 1080);
    glReadPixels(0, 0, 1920, 1080, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int lit = 0;
    for (const glm::u8vec4& p : pixels) {
        lit += (p.r > 20 || p.g > 20 || p.b > 20) ? 1 : 0;
    }
    EXPECT_GT(lit, 5000);
    float clear[4] = {0, 0, 0, 0};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.03f);
    EXPECT_FLOAT_EQ(clear[2], 0.01f);
    EXPECT_FLOAT_EQ(clear[3], 0.7f);
}
