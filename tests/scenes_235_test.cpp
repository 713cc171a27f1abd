#include "render/meshes.h"
#include "scenes/cube_trails.h"
#include "scenes/resources.h"
#include "scenes/scenes.h"
#include "scenes/sphere_groups.h"
#include "schedule/clock.h"
#include "support/capture_stdout.h"
#include "support/gl_context.h"

#include <cmath>
#include <vector>

// Scenes 2, 3 and 5: their per-copy maths, and single frames at chosen times checked through
// the uniforms, the GL state and the pixels they leave.

namespace {
int polygonMode() {
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], modes[1]);
    return modes[0];
}

bool linked(const Shader& shader) {
    GLint status = 0;
    glGetProgramiv(shader.programId, GL_LINK_STATUS, &status);
    return status != 0;
}

bool finite(const glm::mat4& m) {
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            if (!std::isfinite(m[c][r])) {
                return false;
            }
        }
    }
    return true;
}

// Pixels of the whole frame farther than `tolerance` from the colour in some channel.
int pixelsOtherThan(const glm::ivec3& colour, int tolerance) {
    std::vector<glm::u8vec4> pixels(1920 * 1080);
    glReadPixels(0, 0, 1920, 1080, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int count = 0;
    for (const glm::u8vec4& p : pixels) {
        const glm::ivec3 d = glm::abs(glm::ivec3(p.r, p.g, p.b) - colour);
        count += (d.x > tolerance || d.y > tolerance || d.z > tolerance) ? 1 : 0;
    }
    return count;
}

// The clear colours in 8 bits: night (0.03, 0, 0.01) and green (0.2, 0.7, 0.113).
const glm::ivec3 night(8, 0, 3);
const glm::ivec3 green(51, 179, 29);

void expectColour(const glm::u8vec4& pixel, const glm::ivec3& colour, float demoTime) {
    EXPECT_NEAR(pixel.r, colour.r, 1) << "at " << demoTime;
    EXPECT_NEAR(pixel.g, colour.g, 1) << "at " << demoTime;
    EXPECT_NEAR(pixel.b, colour.b, 1) << "at " << demoTime;
}

// The program's state at the first frame: resources built after depth testing was enabled.
class SceneTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        glEnable(GL_DEPTH_TEST);
        StdoutCapture quiet; // the images may be missing here
        createSceneResources();
        quiet.finish();
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    // One frame with the timer pinned to the frame's time, as the recorder runs it.
    static void frame(void (*draw)(float), float demoTime) {
        pinTimer(demoTime);
        draw(demoTime);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "at " << demoTime;
    }
    static void frame2(float demoTime) { frame(drawScene2, demoTime); }
    static void frame3(float demoTime) { frame(drawScene3, demoTime); }
    static void frame5(float demoTime) { frame(drawScene5, demoTime); }
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

TEST_F(SceneTest, Scene2UniformsOfAFrame) {
    ASSERT_TRUE(linked(scene2Shader));
    frame2(30.0f);
    EXPECT_EQ(glInt(GL_CURRENT_PROGRAM), static_cast<int>(scene2Shader.programId));
    EXPECT_EQ(glInt(GL_VERTEX_ARRAY_BINDING), static_cast<int>(scene2VAO));

    EXPECT_EQ(uniformFloat(scene2Shader.programId, "time"), 6.0f); // local time, not demoTime

    const glm::mat4 projection = uniformMat4(scene2Shader.programId, "projection");
    EXPECT_FLOAT_EQ(projection[0][0], 0.5625f);
    EXPECT_FLOAT_EQ(projection[1][1], 1.0f);
    EXPECT_FLOAT_EQ(projection[2][2], -1.0000135f);
    EXPECT_FLOAT_EQ(projection[2][3], -1.0f);
    EXPECT_FLOAT_EQ(projection[3][2], -0.0020000136f);
    EXPECT_EQ(projection[3][3], 0.0f);
    EXPECT_EQ(projection[0][1], 0.0f);

    // What is left is copy 14's: shifted by all fifteen steps, turned fifteen times.
    const float k = std::abs(std::cos(6.0f)) - 0.095f * std::atan(6.0f);
    const glm::mat4 view = uniformMat4(scene2Shader.programId, "view");
    EXPECT_NEAR(view[3][0], 0.3f * 15 - 0.045f * 14 * 15, 1e-5f);
    EXPECT_NEAR(view[3][1], 15 * k, 1e-5f);
    EXPECT_EQ(view[3][2], 30.0f);
    EXPECT_EQ(glm::mat3(view), glm::mat3(1.0f));
    const glm::mat4 model = uniformMat4(scene2Shader.programId, "model");
    const glm::mat3 turn(model);
    const glm::mat3 shouldBeIdentity = glm::transpose(turn) * turn;
    for (int c = 0; c < 3; ++c) {
        for (int r = 0; r < 3; ++r) {
            EXPECT_NEAR(shouldBeIdentity[c][r], c == r ? 1.0f : 0.0f, 1e-5f);
        }
    }
    EXPECT_NEAR(glm::determinant(turn), 1.0f, 1e-5f);
}

TEST_F(SceneTest, Scene2LooksChangeAtStrictBoundsAndKeepThePreviousModeThere) {
    EXPECT_FALSE(glIsEnabled(GL_PROGRAM_POINT_SIZE));
    frame2(25.0f); // local 1: wireframe
    EXPECT_EQ(polygonMode(), GL_LINE);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_POINT));
    EXPECT_FALSE(glIsEnabled(GL_PROGRAM_POINT_SIZE));
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL));

    frame2(33.0f); // local exactly 9: no call, lines stay
    EXPECT_EQ(polygonMode(), GL_LINE);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_POINT));

    frame2(33.5f); // points
    EXPECT_EQ(polygonMode(), GL_POINT);
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_POINT));
    EXPECT_TRUE(glIsEnabled(GL_PROGRAM_POINT_SIZE));

    frame2(40.0f); // local exactly 16: points stay
    EXPECT_EQ(polygonMode(), GL_POINT);

    frame2(43.9f); // filled; the point enables are never undone
    EXPECT_EQ(polygonMode(), GL_FILL);
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_POINT));
    EXPECT_TRUE(glIsEnabled(GL_PROGRAM_POINT_SIZE));

    frame2(33.0f); // at the bound again, after a filled frame: filled stays
    EXPECT_EQ(polygonMode(), GL_FILL);
}

TEST_F(SceneTest, Scene2StateLeftBehind) {
    // Inherited state the scene does not own survives it.
    glEnable(GL_PRIMITIVE_RESTART);
    glEnable(GL_POLYGON_OFFSET_LINE);
    frame2(41.0f);
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
    frame2(41.5f);
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_LINE));
}

TEST_F(SceneTest, Scene2ClearColourAroundTheTrail) {
    for (float demoTime : {27.0f, 35.0f, 42.0f}) { // lines, points, filled
        frame2(demoTime);
        const glm::u8vec4 corners[4] = {pixelAt(0, 0), pixelAt(1919, 0), pixelAt(0, 1079),
                                        pixelAt(1919, 1079)};
        for (const glm::u8vec4& corner : corners) {
            expectColour(corner, night, demoTime);
        }
        EXPECT_GT(pixelsOtherThan(night, 1), 500) << "nothing drawn at " << demoTime;
    }
    float clear[4] = {0, 0, 0, 0};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.03f);
    EXPECT_FLOAT_EQ(clear[1], 0.0f);
    EXPECT_FLOAT_EQ(clear[2], 0.01f);
    EXPECT_FLOAT_EQ(clear[3], 0.7f);
}

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

TEST_F(SceneTest, Scene3UniformsOfAFrame) {
    ASSERT_TRUE(linked(scene3Shader));
    frame3(50.0f);
    EXPECT_EQ(glInt(GL_CURRENT_PROGRAM), static_cast<int>(scene3Shader.programId));
    EXPECT_EQ(glInt(GL_VERTEX_ARRAY_BINDING), static_cast<int>(scene3VAO));
    EXPECT_EQ(uniformFloat(scene3Shader.programId, "time"), 6.0f);

    const glm::mat4 projection = uniformMat4(scene3Shader.programId, "projection");
    EXPECT_FLOAT_EQ(projection[0][0], 1.3579952f);
    EXPECT_FLOAT_EQ(projection[1][1], 2.4142134f);
    EXPECT_FLOAT_EQ(projection[2][2], -1.0022247f);
    EXPECT_FLOAT_EQ(projection[2][3], -1.0f);
    EXPECT_FLOAT_EQ(projection[3][2], -0.2002225f);
    EXPECT_EQ(projection[3][3], 0.0f);

    // Copy 10's view holds all eleven steps: (0.009, 1, 1) * (55, 49.5, -99) along n.
    const glm::mat4 view = uniformMat4(scene3Shader.programId, "view");
    EXPECT_NEAR(view[3][0], 0.495f * 0.6181738f, 1e-5f);
    EXPECT_NEAR(view[3][1], 49.5f * 0.6181738f, 1e-4f);
    EXPECT_NEAR(view[3][2], -99.0f * 0.4855126f, 1e-4f);
    EXPECT_EQ(glm::mat3(view), glm::mat3(1.0f));

    // Copy 0's zero z scale sits leftmost in every product: the whole frame is flat in z.
    const glm::mat4 model = uniformMat4(scene3Shader.programId, "model");
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(model[c][2], 0.0f) << "column " << c;
    }
    EXPECT_EQ(model[3], glm::vec4(0.0f, 0.0f, 0.0f, 1.0f));
}

TEST_F(SceneTest, Scene3LooksChangeAtStrictBounds) {
    frame3(51.0f); // u exactly 7 in the first frame: no call, GL's initial fill stays
    EXPECT_EQ(polygonMode(), GL_FILL);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_POINT));
    EXPECT_FALSE(glIsEnabled(GL_PROGRAM_POINT_SIZE));

    frame3(45.0f);
    EXPECT_EQ(polygonMode(), GL_LINE);
    frame3(51.0f); // after a wireframe frame, lines stay
    EXPECT_EQ(polygonMode(), GL_LINE);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_POINT));

    frame3(51.25f);
    EXPECT_EQ(polygonMode(), GL_POINT);
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_POINT));
    EXPECT_TRUE(glIsEnabled(GL_PROGRAM_POINT_SIZE));
    frame3(59.0f); // u exactly 15: points stay
    EXPECT_EQ(polygonMode(), GL_POINT);

    frame3(66.9f);
    EXPECT_EQ(polygonMode(), GL_FILL);
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_POINT));
    EXPECT_TRUE(glIsEnabled(GL_PROGRAM_POINT_SIZE));
}

TEST_F(SceneTest, Scene3StateLeftBehind) {
    // Line smoothing is not the scene's: whatever came before stays, on or off.
    glEnable(GL_LINE_SMOOTH);
    frame3(60.0f);
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    glDisable(GL_LINE_SMOOTH);
    frame3(60.5f);
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));

    EXPECT_TRUE(glIsEnabled(GL_PRIMITIVE_RESTART));
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_LINE));
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glFloat(GL_LINE_WIDTH), 2.5f);
    EXPECT_EQ(glFloat(GL_POLYGON_OFFSET_FACTOR), 1.0f);
    EXPECT_FLOAT_EQ(glFloat(GL_POLYGON_OFFSET_UNITS), 1.4711276f);
}

TEST_F(SceneTest, Scene3ClearColourWhereTheWireframeLeavesGaps) {
    frame3(45.5f);
    expectColour(pixelAt(0, 0), night, 45.5f);
    // ... and the copies' lines elsewhere.
    EXPECT_GT(pixelsOtherThan(night, 12), 5000);
    float clear[4] = {0, 0, 0, 0};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.03f);
    EXPECT_FLOAT_EQ(clear[2], 0.01f);
    EXPECT_FLOAT_EQ(clear[3], 0.7f);
}

TEST(Scene5Maths, FieldsOfViewPerSphere) {
    EXPECT_EQ(scene5FirstFov(0), 45.0f);
    EXPECT_NEAR(scene5FirstFov(14), 46.499, 1e-3); // atan 14 added to degrees unconverted
    for (int k = 1; k < 15; ++k) {
        EXPECT_GT(scene5FirstFov(k), scene5FirstFov(k - 1));
    }
    EXPECT_TRUE(std::isinf(scene5SecondFov(0)));
    EXPECT_NEAR(scene5SecondFov(1), 57.296, 1e-3);
    EXPECT_NEAR(scene5SecondFov(10), 30.589, 1e-3);
    for (int l = 2; l < 11; ++l) {
        EXPECT_LT(scene5SecondFov(l), scene5SecondFov(l - 1));
    }

    // Each projection is its own: degrees to radians by 0.017453292 in single precision.
    const float fov = 45.0f * 0.017453292f;
    const SpherePose first = scene5FirstSphere(0, 5.0f, scene5Beat(5.0f));
    EXPECT_FLOAT_EQ(first.projection[1][1], 1.0f / std::tan(fov / 2.0f));
    EXPECT_FLOAT_EQ(first.projection[0][0], first.projection[1][1] / 1.7777778f);
    EXPECT_FLOAT_EQ(first.projection[2][2], -100.1f / 99.9f);
}

TEST(Scene5Maths, BeatCounterAndPositions) {
    EXPECT_EQ(scene5Beat(0.0f), 0.0f);
    EXPECT_EQ(scene5Beat(0.46874f), 0.0f);
    EXPECT_EQ(scene5Beat(0.46875f), 1.0f);
    EXPECT_EQ(scene5Beat(28.9f), 61.0f);

    // Before the first beat sin b = 0: the x shifts are -0.2 k and -0.2 l.
    const float v = 0.3f;
    for (int k = 0; k < 15; ++k) {
        const glm::mat4 model = scene5FirstSphere(k, v, scene5Beat(v)).model;
        EXPECT_FLOAT_EQ(model[3][0], static_cast<float>(-0.2 * k));
        EXPECT_FLOAT_EQ(model[3][1], static_cast<float>(std::abs(std::cos(v)) - 0.3 * k));
        EXPECT_FLOAT_EQ(model[3][2], static_cast<float>(0.01 * k + 0.4f));
    }
    for (int l = 1; l < 11; ++l) {
        const glm::mat4 model = scene5SecondSphere(l, v, scene5Beat(v)).model;
        EXPECT_FLOAT_EQ(model[3][0], static_cast<float>(-0.2 * l));
        EXPECT_FLOAT_EQ(model[3][1], static_cast<float>(-std::cos(v) / (0.3 * l)));
        EXPECT_FLOAT_EQ(model[3][2], static_cast<float>(0.01 * l - 0.4f));
    }
}

TEST(Scene5Maths, SphereZeroOfTheSecondGroupIsNotFinite) {
    const SpherePose pose = scene5SecondSphere(0, 4.0f, scene5Beat(4.0f));
    EXPECT_TRUE(std::isnan(pose.projection[0][0]));
    EXPECT_TRUE(std::isnan(pose.projection[1][1]));
    EXPECT_FALSE(finite(pose.model));
    for (int l = 1; l < 11; ++l) {
        EXPECT_TRUE(finite(scene5SecondSphere(l, 4.0f, scene5Beat(4.0f)).model));
        EXPECT_TRUE(finite(scene5SecondSphere(l, 4.0f, scene5Beat(4.0f)).projection));
    }
    for (int k = 0; k < 15; ++k) {
        EXPECT_TRUE(finite(scene5FirstSphere(k, 4.0f, scene5Beat(4.0f)).model));
    }
}

TEST_F(SceneTest, Scene5UniformsOfAFrame) {
    ASSERT_TRUE(linked(scene5Shader));
    EXPECT_EQ(sphereVAO, 0u);
    frame5(90.0f); // v = 7, 14 beats
    EXPECT_EQ(glInt(GL_CURRENT_PROGRAM), static_cast<int>(scene5Shader.programId));
    // The scene's first frame built the sphere and leaves it bound.
    ASSERT_NE(sphereVAO, 0u);
    EXPECT_EQ(sphereIndexCount, 8320);
    EXPECT_EQ(glInt(GL_VERTEX_ARRAY_BINDING), static_cast<int>(sphereVAO));

    EXPECT_EQ(uniformFloat(scene5Shader.programId, "time"), 7.0f);
    EXPECT_EQ(uniformFloat(scene5Shader.programId, "color"), std::cos(7.0f));

    const glm::mat4 view = uniformMat4(scene5Shader.programId, "view");
    EXPECT_FLOAT_EQ(view[0][0], -1.0f);
    EXPECT_FLOAT_EQ(view[1][1], 1.0f);
    EXPECT_FLOAT_EQ(view[2][2], -1.0f);
    EXPECT_FLOAT_EQ(view[3][2], -14.0f);

    // Last drawn: sphere l = 10 of the second group.
    const double fov = 45.0 / std::atan(10.0) * 0.017453292;
    const glm::mat4 projection = uniformMat4(scene5Shader.programId, "projection");
    EXPECT_NEAR(projection[1][1], 1.0 / std::tan(fov / 2.0), 1e-5);
    EXPECT_NEAR(projection[0][0], 1.0 / std::tan(fov / 2.0) / 1.7777778, 1e-5);
    const glm::mat4 model = uniformMat4(scene5Shader.programId, "model");
    EXPECT_NEAR(model[3][0], -0.5 * std::abs(std::sin(14.0)) - 2.0, 1e-6);
    EXPECT_NEAR(model[3][1], -std::cos(7.0) / 3.0, 1e-6);
    EXPECT_NEAR(model[3][2], -0.3, 1e-6);
}

TEST_F(SceneTest, Scene5FillsOnlyInItsFirstNineSecondsAndEnablesNothing) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-15.0f, 20.0f);
    frame5(84.0f);
    EXPECT_EQ(polygonMode(), GL_FILL);

    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    frame5(92.0f); // v exactly 9: no call
    EXPECT_EQ(polygonMode(), GL_LINE);
    frame5(100.0f);
    EXPECT_EQ(polygonMode(), GL_LINE);

    // Offsets and enables are the earlier scenes'.
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    EXPECT_EQ(glFloat(GL_POLYGON_OFFSET_FACTOR), -15.0f);
    EXPECT_EQ(glFloat(GL_POLYGON_OFFSET_UNITS), 20.0f);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_LINE));
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_POINT));
    EXPECT_FALSE(glIsEnabled(GL_PROGRAM_POINT_SIZE));
    EXPECT_FALSE(glIsEnabled(GL_PRIMITIVE_RESTART));
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
}

TEST_F(SceneTest, Scene5GreenAroundTheSpheres) {
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-15.0f, 20.0f);
    frame5(100.0f);
    expectColour(pixelAt(0, 1079), green, 100.0f);
    float clear[4] = {0, 0, 0, 0};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[1], 0.7f);
    EXPECT_FLOAT_EQ(clear[3], 1.0f);
    // The spheres themselves cover a good share of the frame.
    EXPECT_GT(pixelsOtherThan(green, 4), 1920 * 1080 / 10);
}
