#include "render/shader.h"
#include "render/texture.h"
#include "scenes/resources.h"
#include "scenes/scenes.h"
#include "schedule/clock.h"
#include "support/capture_stdout.h"
#include "support/gl_context.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <stb_image_write.h>
#include <vector>

namespace {
const glm::u8vec4 amber(240, 160, 60, 255);

void expectUniformMat4(const Shader& shader, const char* name, const glm::mat4& expected) {
    const glm::mat4 actual = uniformMat4(shader.programId, name);
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            EXPECT_FLOAT_EQ(actual[column][row], expected[column][row])
                << name << "[" << column << "][" << row << "]";
        }
    }
}

// The card's place: one unit behind a camera at z = 1, so 0.9 deep, flat unless turned.
glm::mat4 cardModel() {
    return glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, 1.9f));
}
glm::mat4 cardModel(glm::vec3 axis) {
    return glm::rotate(cardModel(), 0.7853982f, axis);
}

// "view" and "projection" are the same in all three scenes.
void expectCamera(const Shader& shader) {
    expectUniformMat4(shader, "view", glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, -1)));
    expectUniformMat4(shader, "projection", glm::mat4(1.0f));
}

void expectBindings(const Shader& shader, GLenum unit, unsigned int texture) {
    EXPECT_EQ(glInt(GL_CURRENT_PROGRAM), static_cast<int>(shader.programId));
    EXPECT_EQ(glInt(GL_VERTEX_ARRAY_BINDING), static_cast<int>(cardVAO));
    EXPECT_EQ(glInt(GL_ACTIVE_TEXTURE), static_cast<int>(unit));
    EXPECT_EQ(glInt(GL_TEXTURE_BINDING_2D), static_cast<int>(texture));
}

int textureOnUnit(GLenum unit) {
    const int active = glInt(GL_ACTIVE_TEXTURE);
    glActiveTexture(unit);
    const int bound = glInt(GL_TEXTURE_BINDING_2D);
    glActiveTexture(active);
    return bound;
}

void expectFilledPolygons() {
    GLint mode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_FILL);
}

void expectNoGlError() {
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

class CardScenesTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        // As the lighting precompute leaves it for the scenes.
        glEnable(GL_DEPTH_TEST);
        StdoutCapture capture;
        createSceneResources();
        capture.finish();
        // One solid amber picture in place of the three images, so the card stands out.
        std::vector<unsigned char> pixels;
        for (int i = 0; i < 16 * 16; ++i) {
            pixels.insert(pixels.end(), {amber.r, amber.g, amber.b});
        }
        const std::string path = writeTempFile("amber.png", "");
        ASSERT_TRUE(stbi_write_png(path.c_str(), 16, 16, 3, pixels.data(), 16 * 3));
        logoTexture = loadImageTexture(path.c_str());
        tarvoGreetsTexture = loadImageTexture(path.c_str());
        greetsTexture = loadImageTexture(path.c_str());
        expectNoGlError();
    }

    // The flat card covers pixels 480..1439 by 270..809: the central half in each direction.
    static void expectCardCoversCentralHalf() {
        const glm::ivec2 inside[] = {{480, 540}, {1439, 540}, {960, 270}, {960, 809},
                                     {480, 270}, {1439, 270}, {480, 809}, {1439, 809}};
        const glm::ivec2 outside[] = {{479, 540}, {1440, 540}, {960, 269}, {960, 810},
                                      {479, 269}, {1440, 269}, {479, 810}, {1440, 810}};
        for (const glm::ivec2& at : inside) {
            const glm::ivec4 seen(pixelAt(at.x, at.y));
            const glm::ivec4 difference = glm::abs(seen - glm::ivec4(amber));
            EXPECT_LE(std::max({difference.r, difference.g, difference.b}), 40)
                << at.x << "," << at.y << " holds " << seen.r << " " << seen.g << " " << seen.b;
        }
        // The clear colour (0.021, 0.01, 0.012) in 8 bits.
        for (const glm::ivec2& at : outside) {
            const glm::ivec4 seen(pixelAt(at.x, at.y));
            const glm::ivec4 difference = glm::abs(seen - glm::ivec4(5, 3, 3, 0));
            EXPECT_LE(std::max({difference.r, difference.g, difference.b}), 1)
                << at.x << "," << at.y << " holds " << seen.r << " " << seen.g << " " << seen.b;
        }
    }
};
} // namespace

TEST_F(CardScenesTest, ShadersBuildCleanlyWithTheFixedInterface) {
    struct Pair {
        const char* vertex;
        const char* fragment;
    };
    for (const Pair& pair : {Pair{"labShaders/title.vs", "labShaders/title.fs"},
                             Pair{"labShaders/Scene4.vs", "labshaders/Scene4.fs"},
                             Pair{"labShaders/Scene6.vs", "labshaders/Scene6.fs"}}) {
        StdoutCapture capture;
        const Shader shader(pair.vertex, pair.fragment);
        EXPECT_EQ(capture.finish(), "") << pair.fragment;
        for (const char* name : {"time", "view", "projection", "model"}) {
            EXPECT_NE(glGetUniformLocation(shader.programId, name), -1) << pair.fragment << name;
        }
        // Nobody binds unit 2 for these programs, so none declares the third sampler.
        EXPECT_EQ(glGetUniformLocation(shader.programId, "texture3"), -1) << pair.fragment;
    }
    // The sampler units as start-up left them; scene 6's was never assigned.
    EXPECT_EQ(uniformInt(titleShader.programId, "texture1"), 0);
    EXPECT_EQ(uniformInt(scene4Shader.programId, "texture2"), 1);
    EXPECT_EQ(uniformInt(scene6Shader.programId, "greetsImage"), 0);
}

TEST_F(CardScenesTest, TitleIsFlatUpToTwelveSecondsAndFillsTheMiddle) {
    pinTimer(12.0);
    drawTitleScene(12.0f);
    expectNoGlError();

    EXPECT_EQ(uniformFloat(titleShader.programId, "time"), 12.0f);
    expectCamera(titleShader);
    expectUniformMat4(titleShader, "model", cardModel());
    EXPECT_EQ(uniformInt(titleShader.programId, "texture1"), 0);
    EXPECT_EQ(tiltValue, 0.0f);

    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_LINE));
    EXPECT_EQ(glFloat(GL_POLYGON_OFFSET_FACTOR), -15.0f);
    EXPECT_EQ(glFloat(GL_POLYGON_OFFSET_UNITS), 20.0f);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glInt(GL_DEPTH_FUNC), GL_LEQUAL);
    expectFilledPolygons();
    expectBindings(titleShader, GL_TEXTURE0, logoTexture);
    EXPECT_EQ(textureOnUnit(GL_TEXTURE1), 0);

    expectCardCoversCentralHalf();
}

TEST_F(CardScenesTest, TitleTiltsOnlyAboveTwelveAndTiltValueMovesOnlyAboveFifteen) {
    const float justAboveTwelve = std::nextafter(12.0f, 13.0f);
    pinTimer(justAboveTwelve);
    drawTitleScene(justAboveTwelve);
    expectUniformMat4(titleShader, "model", cardModel(glm::vec3(0.0f, 1.0f, 1.0f)));
    EXPECT_EQ(tiltValue, 0.0f);

    // A value of our own shows that 15 s exactly leaves it alone but uses it.
    tiltValue = 0.25f;
    pinTimer(15.0);
    drawTitleScene(15.0f);
    EXPECT_EQ(tiltValue, 0.25f);
    expectUniformMat4(titleShader, "model", cardModel(glm::vec3(0.25f, 1.0f, 1.0f)));

    pinTimer(15.5);
    drawTitleScene(15.5f);
    EXPECT_EQ(tiltValue, std::atan(15.5f));
    expectUniformMat4(titleShader, "model", cardModel(glm::vec3(std::atan(15.5f), 1.0f, 1.0f)));
    EXPECT_EQ(uniformFloat(titleShader.programId, "time"), 15.5f);
    // The turned card still covers the middle of the screen.
    EXPECT_GT(pixelAt(960, 540).r, 150);
    expectNoGlError();
}

// The sweep waits for the latest first frame (a start-up of up to 3 s) and then takes 3 s.
TEST_F(CardScenesTest, TitleUncoversTheLogoFromLeftToRight) {
    for (const float t : {0.3f, 2.9f}) {
        pinTimer(t);
        drawTitleScene(t);
        EXPECT_LT(pixelAt(600, 540).r, 40) << "still covered before the sweep, at " << t;
        EXPECT_LT(pixelAt(1320, 540).r, 40) << t;
    }
    pinTimer(4.5);
    drawTitleScene(4.5f);
    EXPECT_GT(pixelAt(600, 540).r, 150) << "the left is uncovered half way through";
    EXPECT_LT(pixelAt(1320, 540).r, 40) << "the right is not yet";
}

TEST_F(CardScenesTest, Scene4SetsItsStateOverWhatScene3LeftAndFillsTheMiddle) {
    // What a wireframe last frame of scene 3 leaves, plus a sampler unit spoilt on purpose.
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glEnable(GL_PRIMITIVE_RESTART);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.47f);
    glDisable(GL_LINE_SMOOTH);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, logoTexture);
    scene4Shader.activate();
    scene4Shader.setUniformInt("texture2", 0);
    tiltValue = 1.5291537f;

    // s = 12 exactly: not turned yet.
    pinTimer(79.0);
    drawScene4(79.0f);
    expectNoGlError();

    EXPECT_EQ(uniformFloat(scene4Shader.programId, "time"), 12.0f);
    expectCamera(scene4Shader);
    expectUniformMat4(scene4Shader, "model", cardModel());
    EXPECT_EQ(uniformInt(scene4Shader.programId, "texture2"), 1);
    EXPECT_EQ(tiltValue, 1.5291537f);

    expectFilledPolygons();
    EXPECT_FALSE(glIsEnabled(GL_PRIMITIVE_RESTART));
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_LINE));
    EXPECT_EQ(glFloat(GL_POLYGON_OFFSET_FACTOR), -15.0f);
    EXPECT_EQ(glFloat(GL_POLYGON_OFFSET_UNITS), 20.0f);
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL)) << "inherited, not reset";
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH)) << "inherited, not reset";
    expectBindings(scene4Shader, GL_TEXTURE1, tarvoGreetsTexture);
    EXPECT_EQ(textureOnUnit(GL_TEXTURE0), static_cast<int>(logoTexture));

    expectCardCoversCentralHalf();
}

TEST_F(CardScenesTest, Scene4TurnsAboutAnAxisThatSwingsWithSceneTime) {
    // Above s = 12 the axis is (tilt, |tilt - s|, 1), with the tilt the title left.
    const float tilt = 1.5291537f;
    tiltValue = tilt;
    const float justAbove = std::nextafter(79.0f, 80.0f);
    pinTimer(justAbove);
    drawScene4(justAbove);
    const float s = justAbove - 67.0f;
    EXPECT_GT(s, 12.0f);
    expectUniformMat4(scene4Shader, "model", cardModel(glm::vec3(tilt, std::fabs(tilt - s), 1)));

    // s = 15 exactly keeps the tilt; past it the tilt is the arctangent of the global time.
    pinTimer(82.0);
    drawScene4(82.0f);
    EXPECT_EQ(tiltValue, tilt);
    expectUniformMat4(scene4Shader, "model", cardModel(glm::vec3(tilt, 15.0f - tilt, 1.0f)));
    pinTimer(82.5);
    drawScene4(82.5f);
    const float late = std::atan(82.5f);
    EXPECT_EQ(tiltValue, late);
    EXPECT_EQ(uniformFloat(scene4Shader.programId, "time"), 15.5f);
    expectUniformMat4(scene4Shader, "model", cardModel(glm::vec3(late, 15.5f - late, 1.0f)));

    // A title that never passed 15 s leaves 0: the axis is then (0, s, 1).
    tiltValue = 0.0f;
    pinTimer(80.0);
    drawScene4(80.0f);
    expectUniformMat4(scene4Shader, "model", cardModel(glm::vec3(0.0f, 13.0f, 1.0f)));
    EXPECT_GT(pixelAt(960, 540).r, 150);
    expectNoGlError();
}

TEST_F(CardScenesTest, Scene6IsAFlatCardReadFromUnitZero) {
    // Roughly what scenes 4 and 5 leave; the offset values are our own, to show they survive.
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(3.0f, 4.0f);
    glDisable(GL_LINE_SMOOTH);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, tarvoGreetsTexture);
    scene4Shader.activate();

    pinTimer(120.0);
    drawScene6(120.0f);
    expectNoGlError();

    EXPECT_EQ(uniformFloat(scene6Shader.programId, "time"), 8.0f);
    expectCamera(scene6Shader);
    expectUniformMat4(scene6Shader, "model", cardModel());
    EXPECT_EQ(uniformInt(scene6Shader.programId, "greetsImage"), 0);

    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL)) << "inherited, not reset";
    EXPECT_EQ(glFloat(GL_POLYGON_OFFSET_FACTOR), 3.0f);
    EXPECT_EQ(glFloat(GL_POLYGON_OFFSET_UNITS), 4.0f);
    expectFilledPolygons();
    expectBindings(scene6Shader, GL_TEXTURE0, greetsTexture);
    EXPECT_EQ(textureOnUnit(GL_TEXTURE1), static_cast<int>(tarvoGreetsTexture));

    expectCardCoversCentralHalf();

    // The last frame of the scene draws the same card.
    const float last = std::nextafter(129.0f, 0.0f);
    pinTimer(last);
    drawScene6(last);
    EXPECT_LT(uniformFloat(scene6Shader.programId, "time"), 17.0f);
    expectCardCoversCentralHalf();
    expectNoGlError();
}
