#include "app/clock.h"
#include "render/meshes.h"
#include "scenes/resources.h"
#include "scenes/scenes.h"
#include "scenes/sphere_groups.h"
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

class Scene5Test : public GlTest {
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
        drawScene5(demoTime);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "at " << demoTime;
    }
};
} // namespace

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

TEST_F(Scene5Test, UniformsOfAFrame) {
    GLint linked = 0;
    glGetProgramiv(scene5Shader.programId, GL_LINK_STATUS, &linked);
    ASSERT_TRUE(linked);
    EXPECT_EQ(sphereVAO, 0u);
    frame(90.0f); // v = 7, 14 beats
    EXPECT_EQ(glInt(GL_CURRENT_PROGRAM), static_cast<int>(scene5Shader.programId));
    // The scene's first frame built the sphere and leaves it bound.
    ASSERT_NE(sphereVAO, 0u);
    EXPECT_EQ(sphereIndexCount, 8320);
    EXPECT_EQ(glInt(GL_VERTEX_ARRAY_BINDING), static_cast<int>(sphereVAO));

    EXPECT_EQ(uniformFloat(scene5Shader, "time"), 7.0f);
    EXPECT_EQ(uniformFloat(scene5Shader, "color"), std::cos(7.0f));

    const glm::mat4 view = uniformMat4(scene5Shader, "view");
    EXPECT_FLOAT_EQ(view[0][0], -1.0f);
    EXPECT_FLOAT_EQ(view[1][1], 1.0f);
    EXPECT_FLOAT_EQ(view[2][2], -1.0f);
    EXPECT_FLOAT_EQ(view[3][2], -14.0f);

    // Last drawn: sphere l = 10 of the second group.
    const double fov = 45.0 / std::atan(10.0) * 0.017453292;
    const glm::mat4 projection = uniformMat4(scene5Shader, "projection");
    EXPECT_NEAR(projection[1][1], 1.0 / std::tan(fov / 2.0), 1e-5);
    EXPECT_NEAR(projection[0][0], 1.0 / std::tan(fov / 2.0) / 1.7777778, 1e-5);
    const glm::mat4 model = uniformMat4(scene5Shader, "model");
    EXPECT_NEAR(model[3][0], -0.5 * std::abs(std::sin(14.0)) - 2.0, 1e-6);
    EXPECT_NEAR(model[3][1], -std::cos(7.0) / 3.0, 1e-6);
    EXPECT_NEAR(model[3][2], -0.3, 1e-6);
}

TEST_F(Scene5Test, FillsOnlyInItsFirstNineSecondsAndEnablesNothing) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-15.0f, 20.0f);
    frame(84.0f);
    EXPECT_EQ(polygonMode(), GL_FILL);

    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    frame(92.0f); // v exactly 9: no call
    EXPECT_EQ(polygonMode(), GL_LINE);
    frame(100.0f);
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

TEST_F(Scene5Test, GreenAroundTheSpheres) {
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-15.0f, 20.0f);
    frame(100.0f);
    const glm::u8vec4 corner = pixelAt(0, 1079);
    EXPECT_NEAR(corner.r, 51, 1);
    EXPECT_NEAR(corner.g, 179, 1);
    EXPECT_NEAR(corner.b, 29, 1);
    float clear[4] = {0, 0, 0, 0};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[1], 0.7f);
    EXPECT_FLOAT_EQ(clear[3], 1.0f);

    // The spheres themselves cover a good share of the frame.
    std::vector<glm::u8vec4> pixels(1920 * 1080);
    glReadPixels(0, 0, 1920, 1080, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int sphere = 0;
    for (const glm::u8vec4& p : pixels) {
        sphere += (std::abs(p.r - 51) > 4 || std::abs(p.g - 179) > 4 || std::abs(p.b - 29) > 4);
    }
    EXPECT_GT(sphere, 1920 * 1080 / 10);
}
