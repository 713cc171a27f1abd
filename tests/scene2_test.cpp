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

// Pixels of the whole frame that differ from the given colour by more than rounding.
int pixelsOtherThan(const glm::ivec3& colour) {
    std::vector<glm::u8vec4> pixels(1920 * 1080);
    glReadPixels(0, 0, 1920, 1080, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int count = 0;
    for (const glm::u8vec4& p : pixels) {
        const glm::ivec3 d = glm::abs(glm::ivec3(p.r, p.g, p.b) - colour);
        count += (d.x > 1 || d.y > 1 || d.z > 1) ? 1 : 0;
    }
    return count;
}

// The night clear colour (0.03, 0, 0.01) in 8 bits.
const glm::ivec3 night(8, 0, 3);

// The program's state at the first frame: resources built after depth testing was enabled.
class Scene2Test : public GlTest {
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

    // One frame with the timer pinned to the frame's time, as the recorder runs it.
    static void frame(float demoTime) {
        pinTimer(demoTime);
        drawScene2(demoTime);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "at " << demoTime;
    }
};
} // namespace

TEST(Scene2Maths, PolygonOffsetPerCopy) {
    const float units[15] = {0.0f,        -0.9589243f, -0.5440211f, 0.6502879f, 0.9129453f,
                             -0.1323518f, -0.9880316f, -0.4281827f, 0.7451131f, 0.8509035f,
                             -0.2623748f, -0.9997551f, -0.3048106f, 0.8268287f, 0.7738907f};
    for (int i = 0; i < 15; ++i) {
        EXPECT_FLOAT_EQ(scene2PolygonOffset(i).factor, 0.1f * i) << "copy " << i;
        EXPECT_FLOAT_EQ(scene2PolygonOffset(i).units, units[i]) << "copy " << i;
    }
}

TEST(Scene2Maths, TrailRecedesToFortyTwoAndComesBack) {
    EXPECT_FLOAT_EQ(scene2Bounce(0.0f), 1.0f);
    const float k = scene2Bounce(3.0f);
    EXPECT_NEAR(k, std::abs(std::cos(3.0)) - 0.095 * std::atan(3.0), 1e-6);
    glm::vec3 sum(0.0f);
    for (int i = 0; i < 15; ++i) {
        sum += scene2Step(i, k);
        // The closed form of the running sum.
        const float n = i + 1.0f;
        EXPECT_NEAR(sum.x, 0.3f * n - 0.045f * i * n, 1e-5f) << "copy " << i;
        EXPECT_NEAR(sum.y, n * k, 1e-5f) << "copy " << i;
        EXPECT_EQ(sum.z, n * (i - 12)) << "copy " << i;
    }
    EXPECT_EQ(scene2Axis(0), glm::vec3(0.5f, 1.0f, 0.0f));
    EXPECT_EQ(scene2Axis(14), glm::vec3(0.5f, -1.8f, 0.0f));
    EXPECT_FLOAT_EQ(trailAngle(24.0), 4.8f);
}

TEST_F(Scene2Test, UniformsOfAFrame) {
    GLint linked = 0;
    glGetProgramiv(scene2Shader.programId, GL_LINK_STATUS, &linked);
    ASSERT_TRUE(linked);
    frame(30.0f);
    EXPECT_EQ(glInt(GL_CURRENT_PROGRAM), static_cast<int>(scene2Shader.programId));
    EXPECT_EQ(glInt(GL_VERTEX_ARRAY_BINDING), static_cast<int>(scene2VAO));

    EXPECT_EQ(uniformFloat(scene2Shader, "time"), 6.0f); // local time, not demoTime

    const glm::mat4 projection = uniformMat4(scene2Shader, "projection");
    EXPECT_FLOAT_EQ(projection[0][0], 0.5625f);
    EXPECT_FLOAT_EQ(projection[1][1], 1.0f);
    EXPECT_FLOAT_EQ(projection[2][2], -1.0000135f);
    EXPECT_FLOAT_EQ(projection[2][3], -1.0f);
    EXPECT_FLOAT_EQ(projection[3][2], -0.0020000136f);
    EXPECT_EQ(projection[3][3], 0.0f);
    EXPECT_EQ(projection[0][1], 0.0f);

    // What is left is copy 14's: shifted by all fifteen steps, turned fifteen times.
    const float k = std::abs(std::cos(6.0f)) - 0.095f * std::atan(6.0f);
    const glm::mat4 view = uniformMat4(scene2Shader, "view");
    EXPECT_NEAR(view[3][0], 0.3f * 15 - 0.045f * 14 * 15, 1e-5f);
    EXPECT_NEAR(view[3][1], 15 * k, 1e-5f);
    EXPECT_EQ(view[3][2], 30.0f);
    EXPECT_EQ(glm::mat3(view), glm::mat3(1.0f));
    const glm::mat4 model = uniformMat4(scene2Shader, "model");
    const glm::mat3 turn(model);
    const glm::mat3 shouldBeIdentity = glm::transpose(turn) * turn;
    for (int c = 0; c < 3; ++c) {
        for (int r = 0; r < 3; ++r) {
            EXPECT_NEAR(shouldBeIdentity[c][r], c == r ? 1.0f : 0.0f, 1e-5f);
        }
    }
    EXPECT_NEAR(glm::determinant(turn), 1.0f, 1e-5f);
}

TEST_F(Scene2Test, LooksChangeAtStrictBoundsAndKeepThePreviousModeThere) {
    EXPECT_FALSE(glIsEnabled(GL_PROGRAM_POINT_SIZE));
    frame(25.0f); // local 1: wireframe
    EXPECT_EQ(polygonMode(), GL_LINE);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_POINT));
    EXPECT_FALSE(glIsEnabled(GL_PROGRAM_POINT_SIZE));
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL));

    frame(33.0f); // local exactly 9: no call, lines stay
    EXPECT_EQ(polygonMode(), GL_LINE);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_POINT));

    frame(33.5f); // points
    EXPECT_EQ(polygonMode(), GL_POINT);
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_POINT));
    EXPECT_TRUE(glIsEnabled(GL_PROGRAM_POINT_SIZE));

    frame(40.0f); // local exactly 16: points stay
    EXPECT_EQ(polygonMode(), GL_POINT);

    frame(43.9f); // filled; the point enables are never undone
    EXPECT_EQ(polygonMode(), GL_FILL);
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_POINT));
    EXPECT_TRUE(glIsEnabled(GL_PROGRAM_POINT_SIZE));

    frame(33.0f); // at the bound again, after a filled frame: filled stays
    EXPECT_EQ(polygonMode(), GL_FILL);
}

TEST_F(Scene2Test, StateLeftBehind) {
    // Inherited state the scene does not own survives it.
    glEnable(GL_PRIMITIVE_RESTART);
    glEnable(GL_POLYGON_OFFSET_LINE);
    frame(41.0f);
    EXPECT_TRUE(glIsEnabled(GL_PRIMITIVE_RESTART));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glInt(GL_DEPTH_FUNC), GL_LEQUAL);
    // The first frame switched line offsets off once; smoothing is back on.
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_LINE));
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_EQ(glFloat(GL_LINE_WIDTH), 2.5f);
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    EXPECT_FLOAT_EQ(glFloat(GL_POLYGON_OFFSET_FACTOR), 1.4f);
    EXPECT_FLOAT_EQ(glFloat(GL_POLYGON_OFFSET_UNITS), 0.7738907f);
    EXPECT_EQ(polygonMode(), GL_FILL);

    // The one-shot does not repeat: a line offset enabled later stays on.
    glEnable(GL_POLYGON_OFFSET_LINE);
    frame(41.5f);
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_LINE));
}

TEST_F(Scene2Test, ClearColourAroundTheTrail) {
    for (float demoTime : {27.0f, 35.0f, 42.0f}) { // lines, points, filled
        frame(demoTime);
        const glm::u8vec4 corners[4] = {pixelAt(0, 0), pixelAt(1919, 0), pixelAt(0, 1079),
                                        pixelAt(1919, 1079)};
        for (const glm::u8vec4& corner : corners) {
            EXPECT_NEAR(corner.r, night.r, 1) << "at " << demoTime;
            EXPECT_EQ(corner.g, night.g) << "at " << demoTime;
            EXPECT_NEAR(corner.b, night.b, 1) << "at " << demoTime;
        }
        EXPECT_GT(pixelsOtherThan(night), 500) << "nothing drawn at " << demoTime;
    }
    float clear[4] = {0, 0, 0, 0};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.03f);
    EXPECT_FLOAT_EQ(clear[1], 0.0f);
    EXPECT_FLOAT_EQ(clear[2], 0.01f);
    EXPECT_FLOAT_EQ(clear[3], 0.7f);
}
