// The PBR finale: its sub-windows, grids, lights and cameras as numbers, then single frames at
// chosen times read back from the programs they feed.
#include "ibl/capture_math.h"
#include "ibl/ibl.h"
#include "render/meshes.h"
#include "scenes/finale_layout.h"
#include "scenes/scenes.h"
#include "schedule/clock.h"
#include "support/gl_context.h"
#include "support/ibl_workdir.h"
#include "support/perspective.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {
std::string lightName(const char* array, int i) {
    return std::string(array) + "[" + std::to_string(i) + "]";
}

// The light table straight from its definition, in double precision from the timer t.
void expectLightTable(const FinaleLights& lights, double t) {
    const glm::vec3 positions[4] = {
        {static_cast<float>(5.0 * std::sin(t)), 5.0f, static_cast<float>(7.0 * std::cos(t))},
        {10.0f, 10.0f, static_cast<float>(10.0 * std::sin(t))},
        {-10.0f, static_cast<float>(-10.0 * std::sin(t)), 10.0f},
        {static_cast<float>(10.0 * std::sin(t)), -10.0f, 10.0f}};
    const glm::vec3 colors[4] = {{10.0f, 10.0f, 10.0f},
                                 {0.0f, 0.0f, 350.0f},
                                 {0.0f, 350.0f, 0.0f},
                                 {static_cast<float>(300.0 * std::fabs(std::sin(t))),
                                  static_cast<float>(150.0 * std::fabs(std::atan(t))),
                                  static_cast<float>(150.0 * std::fabs(std::cos(t)))}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(lights.positions[i], positions[i]) << i;
        EXPECT_EQ(lights.colors[i], colors[i]) << i;
    }
}

// A float colour target, with a depth buffer when asked, bound for drawing while it lives, so
// that shaded values can be read back unclamped.
class FloatTarget {
  public:
    FloatTarget(int width, int height, bool withDepth) : width(width), height(height) {
        glGenTextures(1, &colour);
        glBindTexture(GL_TEXTURE_2D, colour);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, width, height, 0, GL_RGBA, GL_FLOAT, nullptr);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
        if (withDepth) {
            glGenRenderbuffers(1, &depth);
            glBindRenderbuffer(GL_RENDERBUFFER, depth);
            glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
        }
    }
    ~FloatTarget() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(1, &depth);
        glDeleteTextures(1, &colour);
    }
    FloatTarget(const FloatTarget&) = delete;
    FloatTarget& operator=(const FloatTarget&) = delete;

    // RGBA, bottom row first.
    std::vector<float> read() const {
        std::vector<float> pixels(static_cast<size_t>(width) * height * 4);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_FLOAT, pixels.data());
        return pixels;
    }

  private:
    int width;
    int height;
    unsigned int colour = 0;
    unsigned int depth = 0;
    unsigned int framebuffer = 0;
};

// A finale frame needs the precompute; a small sky and a small viewport keep each test quick
// (the frame's uniforms do not depend on either).
class FinaleTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        folder = std::make_unique<IblWorkDir>(sunnySky, 128, 64);
        captureEnvironment();
        buildLightingMapsThenBind();
        glViewport(0, 0, 192, 108);
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    void TearDown() override {
        unpinTimer();
        folder.reset();
        GlTest::TearDown();
    }

    // One frame at demoTime with the timer pinned to timer.
    static void frame(float demoTime, double timer) {
        pinTimer(timer);
        drawFinale(demoTime);
    }

    static void expectLightUniforms(unsigned int program, double t) {
        pinTimer(t);
        const FinaleLights lights = finaleLights();
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(uniformVec3(program, lightName("lightPositions", i)), lights.positions[i]);
            EXPECT_EQ(uniformVec3(program, lightName("lightColors", i)), lights.colors[i]);
        }
    }

    // What every frame that drew a grid leaves behind.
    void expectGridFrameState(const FinaleFrame& frame, double timer) {
        const unsigned int pbr = pbrShader.programId;
        const glm::mat4 view =
            glm::lookAt(finaleEye(frame), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
        EXPECT_EQ(uniformMat4(pbr, "view"), view);
        EXPECT_EQ(uniformVec3(pbr, "camPos"), finaleCamPos(frame.window));
        EXPECT_EQ(uniformFloat(pbr, "time"), frame.s);
        const FinaleGridShape grid = finaleGridShape(frame.window);
        EXPECT_EQ(uniformFloat(pbr, "metallic"), finaleMetallic(frame, grid.rows - 1));
        EXPECT_EQ(uniformFloat(pbr, "roughness"), finaleRoughness(frame));
        expectLightUniforms(pbr, timer);
        // The last model set is the last light marker's.
        pinTimer(timer);
        const glm::vec3 lastLight = finaleLights().positions[3];
        EXPECT_EQ(uniformMat4(pbr, "model"),
                  glm::scale(glm::translate(glm::mat4(1.0f), lastLight), glm::vec3(0.5f)));

        // The background: the same view, still the start-up projection, the sky on unit 0.
        EXPECT_EQ(uniformMat4(backgroundShader.programId, "view"), view);
        EXPECT_EQ(uniformMat4(backgroundShader.programId, "projection"),
                  makeStartUpProjection(45.0f));
        EXPECT_EQ(glInt(GL_CURRENT_PROGRAM), static_cast<int>(backgroundShader.programId));
        EXPECT_EQ(glInt(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
        EXPECT_EQ(glInt(GL_TEXTURE_BINDING_CUBE_MAP), static_cast<int>(envCubemap));
        glActiveTexture(GL_TEXTURE1);
        EXPECT_EQ(glInt(GL_TEXTURE_BINDING_CUBE_MAP), static_cast<int>(prefilterMap));
        glActiveTexture(GL_TEXTURE2);
        EXPECT_EQ(glInt(GL_TEXTURE_BINDING_2D), static_cast<int>(brdfLUTTexture));
        glActiveTexture(GL_TEXTURE0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    std::unique_ptr<IblWorkDir> folder;
};
} // namespace

TEST(FinaleLayout, SubWindowsAreOpenIntervals) {
    EXPECT_EQ(finaleWindowAt(0.01f), FinaleWindow::Early);
    EXPECT_EQ(finaleWindowAt(std::nextafter(12.0f, 0.0f)), FinaleWindow::Early);
    EXPECT_EQ(finaleWindowAt(12.0f), FinaleWindow::None);
    EXPECT_EQ(finaleWindowAt(std::nextafter(12.0f, 99.0f)), FinaleWindow::Middle);
    EXPECT_EQ(finaleWindowAt(std::nextafter(22.0f, 0.0f)), FinaleWindow::Middle);
    EXPECT_EQ(finaleWindowAt(22.0f), FinaleWindow::None);
    EXPECT_EQ(finaleWindowAt(std::nextafter(22.0f, 99.0f)), FinaleWindow::Late);
    EXPECT_EQ(finaleWindowAt(34.99f), FinaleWindow::Late);
    // 141 and 151 seconds are exactly 12 and 22 into the finale.
    EXPECT_EQ(finaleFrameAt(141.0f).window, FinaleWindow::None);
    EXPECT_EQ(finaleFrameAt(151.0f).window, FinaleWindow::None);
    EXPECT_EQ(finaleGridShape(FinaleWindow::Early).rows *
                  finaleGridShape(FinaleWindow::Early).columns,
              132);
    EXPECT_EQ(finaleGridShape(FinaleWindow::Middle).rows, 7);
    EXPECT_EQ(finaleGridShape(FinaleWindow::Late).rows *
                  finaleGridShape(FinaleWindow::Late).columns,
              300);
}

TEST(FinaleLayout, BeforeTheFirstBeatTheEarlyColumnsStandOnTheAxis) {
    const FinaleFrame frame = finaleFrameAt(129.4f); // s < 0.46875, so b = 0
    ASSERT_EQ(frame.b, 0.0f);
    EXPECT_EQ(finaleRoughness(frame), 0.05f);
    for (int row = 0; row < 11; ++row) {
        EXPECT_EQ(finaleMetallic(frame, row), static_cast<float>(row) / 11.0f);
        for (int column = 0; column < 12; ++column) {
            const glm::mat4 model = finaleSphereModel(frame, row, column);
            EXPECT_EQ(model[3], glm::vec4(0.0f, (row - 7.857143f) * 1.5f, -2.0f, 1.0f));
        }
    }
}

TEST(FinaleLayout, MaterialValuesStayInTheirRangesAndMetallicIsNotClamped) {
    float earlyRoughness[2] = {1.0f, 0.0f};
    float middleMetallic[2] = {9.0f, -9.0f};
    float lateMetallic[2] = {9.0f, -9.0f};
    float lateBeat = 1e9f;
    for (float demoTime = 129.005f; demoTime < 164.0f; demoTime += 0.01f) {
        const FinaleFrame frame = finaleFrameAt(demoTime);
        const float roughness = finaleRoughness(frame);
        switch (frame.window) {
        case FinaleWindow::Early:
            earlyRoughness[0] = std::min(earlyRoughness[0], roughness);
            earlyRoughness[1] = std::max(earlyRoughness[1], roughness);
            break;
        case FinaleWindow::Middle:
            middleMetallic[0] = std::min(middleMetallic[0], finaleMetallic(frame, 0));
            middleMetallic[1] = std::max(middleMetallic[1], finaleMetallic(frame, 0));
            EXPECT_GE(roughness, 0.001f);
            EXPECT_LE(roughness, 0.35f);
            break;
        case FinaleWindow::Late:
            lateMetallic[0] = std::min(lateMetallic[0], finaleMetallic(frame, 0));
            lateMetallic[1] = std::max(lateMetallic[1], finaleMetallic(frame, 0));
            lateBeat = std::min(lateBeat, frame.b);
            EXPECT_NE(std::sin(frame.b), 0.0f);
            break;
        case FinaleWindow::None:
            break;
        }
    }
    EXPECT_EQ(earlyRoughness[0], 0.05f);
    EXPECT_GT(earlyRoughness[1], 0.29f);
    EXPECT_LE(earlyRoughness[1], 0.3f);
    EXPECT_GE(middleMetallic[0], -2.1f);
    EXPECT_LT(middleMetallic[0], -1.5f);
    EXPECT_GT(middleMetallic[1], 1.5f);
    EXPECT_LE(middleMetallic[1], 2.1f);
    EXPECT_GE(lateMetallic[0], 0.0f);
    EXPECT_LE(lateMetallic[1], 0.75f);
    EXPECT_GE(lateBeat, 46.0f);
}

TEST(FinaleLayout, ProductsMarkedDoubleAreTakenInDouble) {
    // Beats where a double product rounds differently from a float one show which was used.
    int telling = 0;
    for (float b = 0.0f; b < 80.0f; b += 1.0f) {
        const double sinB = std::sin(b);
        FinaleFrame frame{};
        frame.b = b;
        frame.window = FinaleWindow::Middle;
        EXPECT_EQ(finaleMetallic(frame, 3), static_cast<float>(2.1 * sinB));
        telling += static_cast<float>(2.1 * sinB) != 2.1f * std::sin(b);
        frame.window = FinaleWindow::Early;
        EXPECT_EQ(finaleRoughness(frame), glm::clamp(static_cast<float>(0.3 * sinB), 0.05f, 0.65f));
        frame.window = FinaleWindow::Late;
        EXPECT_EQ(finaleMetallic(frame, 3), static_cast<float>(0.75 * std::fabs(sinB)));
    }
    EXPECT_GT(telling, 0);
}

TEST(FinaleLayout, MiddleAndLateSpheresAreMovedStretchedAndTurned) {
    for (float demoTime : {146.3f, 158.7f}) {
        const FinaleFrame frame = finaleFrameAt(demoTime);
        const FinaleGridShape grid = finaleGridShape(frame.window);
        for (int row = 0; row < grid.rows; row += 3) {
            for (int column = 0; column < grid.columns; column += 4) {
                float x = 0.0f;
                float y = 0.0f;
                if (frame.window == FinaleWindow::Middle) {
                    x = (column - 10.0f) * (1.5f * std::fabs(std::sin(frame.b)));
                    y = static_cast<float>(row) * 9.166666f * 1.5f;
                } else {
                    const float d =
                        std::atan(frame.s) * 2.1f * glm::clamp(std::cos(demoTime), 0.001f, 0.35f);
                    x = static_cast<float>(column - 3.75) * d;
                    y = static_cast<float>(row) * 16.666666f * d;
                }
                const float stretch = static_cast<float>(row + 1.4000000238418579);
                const glm::vec3 axis(static_cast<float>(std::tan(static_cast<double>(row))),
                                     std::cos(frame.b), 1.0f);
                glm::mat4 expected = glm::translate(glm::mat4(1.0f), glm::vec3(x, y, -2.0f));
                expected = glm::scale(expected, glm::vec3(0.6f, 1.1f, stretch));
                expected = glm::rotate(expected, 45.0f, axis);
                const glm::mat4 model = finaleSphereModel(frame, row, column);
                EXPECT_EQ(model, expected) << demoTime << " " << row << " " << column;

                // Independently: the rows of the upper 3 x 3 have the scale's lengths, and the
                // rotation left after removing it keeps its axis and turns by 45 radians.
                const glm::mat3 turn =
                    glm::inverse(
                        glm::mat3(glm::scale(glm::mat4(1.0f), glm::vec3(0.6f, 1.1f, stretch)))) *
                    glm::mat3(model);
                const glm::vec3 unitAxis = glm::normalize(axis);
                EXPECT_NEAR(glm::length(turn * unitAxis - unitAxis), 0.0f, 1e-4f);
                EXPECT_NEAR(turn[0][0] + turn[1][1] + turn[2][2], 1.0f + 2.0f * std::cos(45.0f),
                            1e-4f);
            }
        }
    }
}

TEST(FinaleLayout, CamerasAndTheLateProjection) {
    EXPECT_EQ(finaleEye(finaleFrameAt(135.0f)), glm::vec3(0.0f, 0.0f, -10.0f));
    EXPECT_EQ(finaleEye(finaleFrameAt(145.0f)), glm::vec3(0.0f, 0.0f, -10.0f));
    const FinaleFrame late = finaleFrameAt(160.0f);
    EXPECT_EQ(finaleEye(late),
              glm::vec3(0.0f, 0.075f * std::sin(late.b), std::sin(late.s) * 15.0f * 0.075f));
    EXPECT_EQ(finaleCamPos(FinaleWindow::Early), glm::vec3(0.0f));
    EXPECT_EQ(finaleCamPos(FinaleWindow::Middle), glm::vec3(0.0f));
    EXPECT_EQ(finaleCamPos(FinaleWindow::Late), glm::vec3(0.0f, 0.35f, 0.0f));

    const glm::mat4 projection = finaleLateProjection();
    expectPerspective(projection, 0.5625f, 1.0f, -1.002002f, -0.2002002f);
}

TEST(FinaleLayout, LightsFollowTheTimer) {
    for (double t : {0.0, 133.25, 150.5, 161.75}) {
        pinTimer(t);
        expectLightTable(finaleLights(), t);
    }
    unpinTimer();
}

TEST_F(FinaleTest, EarlyFrameFeedsTheGridProgram) {
    const float demoTime = 135.25f;
    frame(demoTime, 135.3);
    const FinaleFrame early = finaleFrameAt(demoTime);
    ASSERT_EQ(early.window, FinaleWindow::Early);
    expectGridFrameState(early, 135.3);
    EXPECT_EQ(uniformFloat(pbrShader.programId, "time"), 6.25f);
    EXPECT_EQ(uniformFloat(pbrShader.programId, "metallic"), 10.0f / 11.0f);
    EXPECT_EQ(uniformMat4(pbrShader.programId, "projection"), makeStartUpProjection(45.0f));
    EXPECT_EQ(glInt(GL_DEPTH_FUNC), GL_LEQUAL);
    GLint polygonMode[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    EXPECT_EQ(polygonMode[0], GL_FILL);
    EXPECT_EQ(glFloat(GL_POLYGON_OFFSET_FACTOR), 0.0f);
    EXPECT_EQ(glFloat(GL_POLYGON_OFFSET_UNITS), 0.0f);
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(glm::vec4(clear[0], clear[1], clear[2], clear[3]), glm::vec4(0.1f, 0.3f, 0.4f, 1.0f));
    // The sky covers everything the spheres leave: no clear colour shows.
    for (int x = 0; x < 192; x += 37) {
        for (int y = 0; y < 108; y += 23) {
            const glm::u8vec4 pixel = pixelAt(x, y);
            EXPECT_FALSE(pixel.r == 26 && pixel.g == 77 && pixel.b == 102) << x << "," << y;
        }
    }
}

TEST_F(FinaleTest, MiddleFrameSendsMetallicUnclampedAndTheShadersHoldIt) {
    // A middle frame whose metallic lies beyond [-1, 1] and whose roughness is at its floor.
    float demoTime = 141.005f;
    while (std::fabs(finaleMetallic(finaleFrameAt(demoTime), 0)) < 1.5f ||
           finaleRoughness(finaleFrameAt(demoTime)) != 0.001f) {
        demoTime += 0.01f;
    }
    const FinaleFrame middle = finaleFrameAt(demoTime);
    ASSERT_EQ(middle.window, FinaleWindow::Middle);

    // Rendered into a float target, nothing comes out negative, above 1 or NaN.
    {
        const FloatTarget target(192, 108, true);
        frame(demoTime, 146.0);
        for (float value : target.read()) {
            ASSERT_TRUE(std::isfinite(value));
            ASSERT_GE(value, 0.0f);
            ASSERT_LE(value, 1.0f);
        }
    }

    expectGridFrameState(middle, 146.0);
    EXPECT_LT(std::fabs(uniformFloat(pbrShader.programId, "metallic")), 2.1f);
    EXPECT_GT(std::fabs(uniformFloat(pbrShader.programId, "metallic")), 1.5f);
    EXPECT_EQ(uniformFloat(pbrShader.programId, "roughness"), 0.001f);
    EXPECT_EQ(uniformMat4(pbrShader.programId, "projection"), makeStartUpProjection(45.0f));
}

TEST_F(FinaleTest, LateFrameTurnsTheSpheresToNinetyDegreesForGood) {
    frame(158.5f, 158.5);
    const FinaleFrame late = finaleFrameAt(158.5f);
    ASSERT_EQ(late.window, FinaleWindow::Late);
    expectGridFrameState(late, 158.5);
    EXPECT_EQ(uniformMat4(pbrShader.programId, "projection"), finaleLateProjection());
    EXPECT_EQ(uniformVec3(pbrShader.programId, "camPos"), glm::vec3(0.0f, 0.35f, 0.0f));

    // No later frame sets it back; the background never had it.
    frame(151.0f, 151.0);
    EXPECT_EQ(uniformMat4(pbrShader.programId, "projection"), finaleLateProjection());
    EXPECT_EQ(uniformMat4(backgroundShader.programId, "projection"), makeStartUpProjection(45.0f));
}

TEST_F(FinaleTest, AtExactly12And22SecondsNoGridIsDrawnAndTheLightsMissThePbrProgram) {
    const std::pair<float, float> cases[] = {{140.5f, 141.0f}, {150.5f, 151.0f}};
    for (const auto& [before, bound] : cases) {
        frame(before, before);
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        const glm::mat4 model = uniformMat4(pbrShader.programId, "model");
        const float time = uniformFloat(pbrShader.programId, "time");

        frame(bound, bound + 0.7);
        // The light uniforms and the markers' model went to the background program, current
        // from the frame before, at the grid program's locations. The background program has no
        // such uniforms, so GL refuses the writes (an error that the demo never reads), and the
        // grid program keeps the previous frame's values.
        const GLenum error = glGetError();
        EXPECT_TRUE(error == GL_NO_ERROR || error == GL_INVALID_OPERATION) << error;
        while (glGetError() != GL_NO_ERROR) {
        }
        expectLightUniforms(pbrShader.programId, before);
        EXPECT_EQ(uniformMat4(pbrShader.programId, "model"), model);
        EXPECT_EQ(uniformFloat(pbrShader.programId, "time"), time);
        // The background drew with the identity view and kept its own uniforms intact.
        EXPECT_EQ(uniformMat4(backgroundShader.programId, "view"), glm::mat4(1.0f));
        EXPECT_EQ(uniformMat4(backgroundShader.programId, "projection"),
                  makeStartUpProjection(45.0f));
        EXPECT_EQ(uniformInt(backgroundShader.programId, "environmentMap"), 0);
        EXPECT_EQ(glInt(GL_CURRENT_PROGRAM), static_cast<int>(backgroundShader.programId));
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << bound;
    }
}

TEST_F(FinaleTest, OutOfRangeMaterialsShadeLikeTheNearestInRangeOnes) {
    // One sphere filling the view, under the sky and the finale's lights, rendered into a float
    // target at the finale's extreme values and at the in-range values they must behave like.
    const FloatTarget target(64, 64, false);
    glViewport(0, 0, 64, 64);
    glDisable(GL_DEPTH_TEST);

    pbrShader.activate();
    pbrShader.setUniformMat4("view", glm::lookAt(glm::vec3(0.0f, 0.0f, 2.2f), glm::vec3(0.0f),
                                                 glm::vec3(0.0f, 1.0f, 0.0f)));
    pbrShader.setUniformMat4("model", glm::mat4(1.0f));
    pbrShader.setUniformVec3("camPos", glm::vec3(0.0f, 0.35f, 0.0f));
    pinTimer(0.3); // light 0 in front of the sphere
    const FinaleLights lights = finaleLights();
    for (int i = 0; i < 4; ++i) {
        pbrShader.setUniformVec3(lightName("lightPositions", i), lights.positions[i]);
        pbrShader.setUniformVec3(lightName("lightColors", i), lights.colors[i]);
    }
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, irradianceMap);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_CUBE_MAP, prefilterMap);
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, brdfLUTTexture);

    auto render = [&target](float metallic, float roughness) {
        pbrShader.setUniformFloat("metallic", metallic);
        pbrShader.setUniformFloat("roughness", roughness);
        glClearColor(-1.0f, -1.0f, -1.0f, -1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        drawSphere();
        std::vector<float> pixels = target.read();
        int covered = 0;
        for (size_t i = 0; i < pixels.size(); i += 4) {
            if (pixels[i + 3] < 0.0f) {
                continue; // not on the sphere
            }
            ++covered;
            for (int c = 0; c < 3; ++c) {
                EXPECT_TRUE(std::isfinite(pixels[i + c])) << metallic << " " << roughness;
                EXPECT_GE(pixels[i + c], 0.0f) << metallic << " " << roughness;
                EXPECT_LE(pixels[i + c], 1.0f) << metallic << " " << roughness;
            }
        }
        EXPECT_GT(covered, 1000);
        return pixels;
    };
    // Metallic beyond [0, 1] acts as its bound; roughness below the floor acts as the floor.
    EXPECT_EQ(render(-2.1f, 0.3f), render(0.0f, 0.3f));
    EXPECT_EQ(render(2.1f, 0.3f), render(1.0f, 0.3f));
    EXPECT_EQ(render(0.5f, 0.001f), render(0.5f, 0.0f));
    EXPECT_NE(render(0.5f, 0.001f), render(0.5f, 0.35f));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
