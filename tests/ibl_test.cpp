// The lighting precompute as the frame loop finds it: capture matrices, the textures and their
// formats, the capture framebuffer after each pass, the uniforms set once, and the GL state left
// behind, including when the HDR sky is missing.
#include "ibl/capture_math.h"
#include "ibl/ibl.h"
#include "scenes/scenes.h"
#include "schedule/camera.h"
#include "support/capture_stdout.h"
#include "support/gl_context.h"
#include "support/ibl_workdir.h"
#include "support/perspective.h"

#include <cmath>
#include <fstream>
#include <glm/gtc/matrix_transform.hpp>
#include <vector>

namespace {
class IblTest : public GlTest {};

int texLevelInt(GLenum target, int level, GLenum name) {
    GLint value = 0;
    glGetTexLevelParameteriv(target, level, name, &value);
    return value;
}

int texInt(GLenum target, GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(target, name, &value);
    return value;
}

int renderbufferInt(GLenum name) {
    GLint value = 0;
    glBindRenderbuffer(GL_RENDERBUFFER, captureRBO);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, name, &value);
    return value;
}

// Every cube face of level `level` is size x size, RGB16F.
void expectCubeLevel(int level, int size) {
    for (int face = 0; face < 6; ++face) {
        const GLenum target = GL_TEXTURE_CUBE_MAP_POSITIVE_X + face;
        EXPECT_EQ(texLevelInt(target, level, GL_TEXTURE_WIDTH), size) << face << " " << level;
        EXPECT_EQ(texLevelInt(target, level, GL_TEXTURE_HEIGHT), size) << face << " " << level;
        EXPECT_EQ(texLevelInt(target, level, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB16F);
    }
}

void expectCubeParameters(GLint minFilter) {
    EXPECT_EQ(texInt(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(texInt(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(texInt(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(texInt(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER), minFilter);
    EXPECT_EQ(texInt(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
}

// The bound 2D texture: one level of width x height in `format`, clamped and linear.
void expectSingleLevelTexture2D(int width, int height, GLint format) {
    EXPECT_EQ(texLevelInt(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH), width);
    EXPECT_EQ(texLevelInt(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT), height);
    EXPECT_EQ(texLevelInt(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT), format);
    EXPECT_EQ(texLevelInt(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH), 0);
    EXPECT_EQ(texInt(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(texInt(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(texInt(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(texInt(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
}

std::vector<float> readFace(unsigned int cubeMap, int face, int level, int size) {
    std::vector<float> texels(static_cast<size_t>(size) * size * 3);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMap);
    glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, level, GL_RGB, GL_FLOAT, texels.data());
    return texels;
}

float largest(const std::vector<float>& values) {
    float result = 0.0f;
    for (float value : values) {
        result = std::max(result, std::fabs(value));
    }
    return result;
}
} // namespace

TEST(CaptureMath, ProjectionIsASquareNinetyDegreeFrustum) {
    const glm::mat4 projection = makeCaptureProjection();
    const float focal = 1.0f / std::tan(0.7853982f);
    expectPerspective(projection, focal, focal, -1.0202020f, -0.20202021f);
}

TEST(CaptureMath, ViewsLookDownEachAxisWithTheCubeFaceUpVectors) {
    // Rows s, u, -f of each view's upper 3 x 3, face i = GL_TEXTURE_CUBE_MAP_POSITIVE_X + i.
    const float rows[6][3][3] = {
        {{0, 0, -1}, {0, -1, 0}, {-1, 0, 0}}, {{0, 0, 1}, {0, -1, 0}, {1, 0, 0}},
        {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}},   {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},
        {{1, 0, 0}, {0, -1, 0}, {0, 0, -1}},  {{-1, 0, 0}, {0, -1, 0}, {0, 0, 1}},
    };
    const std::array<glm::mat4, 6> views = makeCaptureViews();
    for (int face = 0; face < 6; ++face) {
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                EXPECT_EQ(views[face][column][row], rows[face][row][column])
                    << "face " << face << " row " << row << " column " << column;
            }
        }
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(views[face][3][row], 0.0f);
            EXPECT_EQ(views[face][row][3], 0.0f);
        }
        EXPECT_EQ(views[face][3][3], 1.0f);
    }
}

TEST(CaptureMath, StartUpProjectionUsesTheFixedSixteenNineAspect) {
    const glm::mat4 projection = makeStartUpProjection(globalCamera.fovDegrees);
    const float t = std::tan(45.0f * 0.017453292f * 0.5f);
    expectPerspective(projection, 1.0f / (t * 1.7777778f), 1.0f / t, -1.002002f, -0.2002002f);
}

TEST(CaptureMath, PrefilterLevelsHalveFrom128WithRoughnessInQuarters) {
    const int sizes[] = {128, 64, 32, 16, 8};
    const float roughness[] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};
    for (int mip = 0; mip < 5; ++mip) {
        EXPECT_EQ(prefilterLevelSize(mip), sizes[mip]);
        EXPECT_EQ(prefilterLevelRoughness(mip), roughness[mip]);
    }
}

TEST_F(IblTest, CaptureBuildsTheProgramsTexturesAndLeavesItsState) {
    IblWorkDir folder(sunnySky, 256, 128);
    StdoutCapture capture;
    captureEnvironment();
    EXPECT_EQ(capture.finish(), "") << "every program builds without a message";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    for (const Shader* shader : {&pbrShader, &equirectToCubemapShader, &irradianceShader,
                                 &prefilterShader, &brdfShader, &backgroundShader}) {
        GLint linked = 0;
        glGetProgramiv(shader->programId, GL_LINK_STATUS, &linked);
        EXPECT_TRUE(linked);
    }

    // The state the lighting maps start from.
    EXPECT_EQ(glInt(GL_CURRENT_PROGRAM), static_cast<int>(equirectToCubemapShader.programId));
    EXPECT_EQ(glInt(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(glInt(GL_TEXTURE_BINDING_2D), static_cast<int>(hdrTexture));
    EXPECT_EQ(glInt(GL_TEXTURE_BINDING_CUBE_MAP), static_cast<int>(envCubemap));
    EXPECT_EQ(glInt(GL_FRAMEBUFFER_BINDING), 0);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 512);
    EXPECT_EQ(viewport[3], 512);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));

    // Uniforms set once for the whole run, and the capture's own.
    EXPECT_EQ(uniformInt(pbrShader.programId, "irradianceMap"), 0);
    EXPECT_EQ(uniformInt(pbrShader.programId, "prefilterMap"), 1);
    EXPECT_EQ(uniformInt(pbrShader.programId, "brdfLUT"), 2);
    EXPECT_EQ(uniformVec3(pbrShader.programId, "albedo"), glm::vec3(0.5f, 0.0f, 0.0f));
    EXPECT_EQ(uniformFloat(pbrShader.programId, "ao"), 1.0f);
    EXPECT_EQ(uniformInt(backgroundShader.programId, "environmentMap"), 0);
    EXPECT_EQ(uniformInt(equirectToCubemapShader.programId, "equirectangularMap"), 0);
    EXPECT_EQ(uniformMat4(equirectToCubemapShader.programId, "projection"),
              makeCaptureProjection());
    EXPECT_EQ(uniformMat4(equirectToCubemapShader.programId, "view"), makeCaptureViews()[5]);
    EXPECT_EQ(captureProjection, makeCaptureProjection());
    EXPECT_EQ(captureViews, makeCaptureViews());

    // The HDR picture: its own size, three half-float channels, clamped, linear, no mip chain.
    glBindTexture(GL_TEXTURE_2D, hdrTexture);
    EXPECT_NE(hdrTexture, 0u);
    expectSingleLevelTexture2D(256, 128, GL_RGB16F);

    // The environment cube: 512 a face and a full chain of ten levels down to 1 x 1.
    glBindTexture(GL_TEXTURE_CUBE_MAP, envCubemap);
    for (int level = 0; level < 10; ++level) {
        expectCubeLevel(level, 512 >> level);
    }
    EXPECT_EQ(texLevelInt(GL_TEXTURE_CUBE_MAP_POSITIVE_X, 10, GL_TEXTURE_WIDTH), 0);
    expectCubeParameters(GL_LINEAR_MIPMAP_LINEAR);

    // The capture framebuffer's depth buffer, 512 square.
    glBindFramebuffer(GL_FRAMEBUFFER, captureFBO);
    GLint attached = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &attached);
    EXPECT_EQ(attached, static_cast<int>(captureRBO));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    EXPECT_EQ(renderbufferInt(GL_RENDERBUFFER_WIDTH), 512);
    EXPECT_EQ(renderbufferInt(GL_RENDERBUFFER_HEIGHT), 512);
    EXPECT_EQ(renderbufferInt(GL_RENDERBUFFER_INTERNAL_FORMAT), GL_DEPTH_COMPONENT24);
}

TEST_F(IblTest, CaptureKeepsThePictureUprightAndFacesWhereGlExpectsThem) {
    IblWorkDir folder(sunnySky, 512, 256);
    captureEnvironment();
    // +Y looks at the zenith (the picture's top row, flipped onto v = 1), -Y at the floor.
    const std::vector<float> top = readFace(envCubemap, 2, 0, 512);
    const std::vector<float> bottom = readFace(envCubemap, 3, 0, 512);
    const size_t centre = (256 * 512 + 256) * 3;
    EXPECT_LT(top[centre], top[centre + 2]) << "blue zenith";
    EXPECT_GT(bottom[centre], bottom[centre + 2]) << "warm grey floor";

    // The sun sits 20 degrees up towards -z: on face -Z at s = 0.5, t = (1 - tan 20) / 2.
    int brightestFace = -1;
    size_t brightestTexel = 0;
    float brightest = 0.0f;
    for (int face = 0; face < 6; ++face) {
        const std::vector<float> texels = readFace(envCubemap, face, 0, 512);
        for (size_t texel = 0; texel < texels.size() / 3; ++texel) {
            if (texels[texel * 3] > brightest) {
                brightest = texels[texel * 3];
                brightestFace = face;
                brightestTexel = texel;
            }
        }
    }
    EXPECT_EQ(brightestFace, 5);
    EXPECT_NEAR(static_cast<int>(brightestTexel % 512), 256, 12);
    EXPECT_NEAR(static_cast<int>(brightestTexel / 512), (1.0 - std::tan(0.349066)) / 2.0 * 512, 12);
    EXPECT_NEAR(brightest, 5000.0f, 50.0f);
}

TEST_F(IblTest, CaptureLeavesNoSeamWhereLongitudeWraps) {
    // Sixteen columns ramping from 1 to 3 across the picture: the left and right edges differ,
    // so a lookup that clamps there would jump from 3 to 1 at the wrap. Filtered around the
    // wrap, both sides of it meet at the mean of the two edge columns, 2.
    IblWorkDir folder(nullptr);
    const int width = 16;
    IblWorkDir::writeSky(
        "imgs/vellmar.512.hdr",
        [](glm::vec3 direction) {
            const float u = std::atan2(direction.z, direction.x) / 6.2831853f + 0.5f;
            return glm::vec3(1.0f + 2.0f * u);
        },
        width, 8);
    captureEnvironment();
    // The wrap looks along -x, down the middle column of face -X (s = 0.5 is z = 0).
    const std::vector<float> face = readFace(envCubemap, 1, 0, 512);
    for (int row : {64, 256, 448}) {
        const float left = face[(row * 512 + 255) * 3];
        const float right = face[(row * 512 + 256) * 3];
        EXPECT_NEAR(left, 2.0f, 0.03f) << row;
        EXPECT_NEAR(right, 2.0f, 0.03f) << row;
    }
}

TEST_F(IblTest, EachPassSizesTheDepthBufferToItsTarget) {
    IblWorkDir folder(sunnySky, 256, 128);
    captureEnvironment();

    renderIrradianceMap();
    EXPECT_EQ(renderbufferInt(GL_RENDERBUFFER_WIDTH), 32);
    EXPECT_EQ(renderbufferInt(GL_RENDERBUFFER_HEIGHT), 32);
    glBindTexture(GL_TEXTURE_CUBE_MAP, irradianceMap);
    expectCubeLevel(0, 32);
    EXPECT_EQ(texLevelInt(GL_TEXTURE_CUBE_MAP_POSITIVE_X, 1, GL_TEXTURE_WIDTH), 0);
    expectCubeParameters(GL_LINEAR);
    EXPECT_EQ(uniformInt(irradianceShader.programId, "environmentMap"), 0);
    EXPECT_EQ(uniformMat4(irradianceShader.programId, "projection"), captureProjection);
    EXPECT_EQ(uniformMat4(irradianceShader.programId, "view"), captureViews[5]);

    renderPrefilterMap();
    // The last level rendered is 8 x 8; the chain was allocated down to 1 x 1 beforehand.
    EXPECT_EQ(renderbufferInt(GL_RENDERBUFFER_WIDTH), 8);
    EXPECT_EQ(renderbufferInt(GL_RENDERBUFFER_HEIGHT), 8);
    glBindTexture(GL_TEXTURE_CUBE_MAP, prefilterMap);
    for (int level = 0; level < 8; ++level) {
        expectCubeLevel(level, 128 >> level);
    }
    EXPECT_EQ(texLevelInt(GL_TEXTURE_CUBE_MAP_POSITIVE_X, 8, GL_TEXTURE_WIDTH), 0);
    expectCubeParameters(GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(uniformInt(prefilterShader.programId, "environmentMap"), 0);
    EXPECT_EQ(uniformMat4(prefilterShader.programId, "projection"), captureProjection);
    EXPECT_EQ(uniformFloat(prefilterShader.programId, "roughness"), 1.0f);
    // Levels 0 to 4 hold light; each level's faces were drawn.
    for (int level = 0; level < 5; ++level) {
        for (int face = 0; face < 6; ++face) {
            EXPECT_GT(largest(readFace(prefilterMap, face, level, 128 >> level)), 0.05f)
                << level << " " << face;
        }
    }

    renderBrdfLut();
    EXPECT_EQ(renderbufferInt(GL_RENDERBUFFER_WIDTH), 512);
    EXPECT_EQ(renderbufferInt(GL_RENDERBUFFER_HEIGHT), 512);
    EXPECT_EQ(renderbufferInt(GL_RENDERBUFFER_INTERNAL_FORMAT), GL_DEPTH_COMPONENT24);
    glBindTexture(GL_TEXTURE_2D, brdfLUTTexture);
    expectSingleLevelTexture2D(512, 512, GL_RG16F);

    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(IblTest, BuildLightingMapsLeavesTheStateTheFrameLoopStartsFrom) {
    IblWorkDir folder(sunnySky, 256, 128);
    StdoutCapture capture;
    captureEnvironment();
    buildLightingMaps(testWidth, testHeight);
    EXPECT_EQ(capture.finish(), "");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    EXPECT_EQ(glInt(GL_CURRENT_PROGRAM), static_cast<int>(backgroundShader.programId));
    EXPECT_EQ(glInt(GL_FRAMEBUFFER_BINDING), 0);
    const int width = testWidth; // the framebuffer start-up was given
    const int height = testHeight;
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], width);
    EXPECT_EQ(viewport[3], height);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glInt(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_EQ(glInt(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(glInt(GL_TEXTURE_BINDING_CUBE_MAP), static_cast<int>(envCubemap));
    EXPECT_EQ(glInt(GL_TEXTURE_BINDING_2D), static_cast<int>(brdfLUTTexture));
    EXPECT_EQ(glInt(GL_VERTEX_ARRAY_BINDING), 0);

    // Both lit programs start with the 45-degree, 16:9 projection.
    const glm::mat4 startUp = makeStartUpProjection(45.0f);
    EXPECT_EQ(uniformMat4(pbrShader.programId, "projection"), startUp);
    EXPECT_EQ(uniformMat4(backgroundShader.programId, "projection"), startUp);

    // The capture framebuffer keeps the lookup texture and a 512-square depth buffer.
    EXPECT_EQ(renderbufferInt(GL_RENDERBUFFER_WIDTH), 512);
    glBindFramebuffer(GL_FRAMEBUFFER, captureFBO);
    GLint attached = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &attached);
    EXPECT_EQ(attached, static_cast<int>(brdfLUTTexture));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

TEST_F(IblTest, MissingSkyIsReportedOnceAndTheStartUpGoesOnInTheDark) {
    IblWorkDir folder(nullptr); // shaders, but no imgs/vellmar.512.hdr
    StdoutCapture capture;
    captureEnvironment();
    buildLightingMapsThenBind();
    EXPECT_EQ(capture.finish(), "failure load image hdr.\n");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // No HDR texture was made: the capture bound texture 0 and read black.
    EXPECT_EQ(hdrTexture, 0u);
    for (int face = 0; face < 6; ++face) {
        EXPECT_EQ(largest(readFace(envCubemap, face, 0, 512)), 0.0f) << face;
        EXPECT_EQ(largest(readFace(irradianceMap, face, 0, 32)), 0.0f) << face;
        for (int level = 0; level < 5; ++level) {
            EXPECT_EQ(largest(readFace(prefilterMap, face, level, 128 >> level)), 0.0f);
        }
    }
    // The rest of the start-up is whole.
    glBindTexture(GL_TEXTURE_CUBE_MAP, envCubemap);
    expectCubeLevel(9, 1);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glInt(GL_CURRENT_PROGRAM), static_cast<int>(backgroundShader.programId));
    EXPECT_EQ(uniformMat4(pbrShader.programId, "projection"), makeStartUpProjection(45.0f));

    // And a finale frame draws with the black maps.
    glViewport(0, 0, 192, 108);
    drawFinale(135.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(IblTest, UndecodableSkyIsReportedTheSameWay) {
    IblWorkDir folder(nullptr);
    {
        std::ofstream bogus("imgs/vellmar.512.hdr", std::ios::binary);
        bogus << "#?RADIANCE\nFORMAT=a-format-nobody-knows\n\n-Y 4 +X 4\n";
    }
    StdoutCapture capture;
    captureEnvironment();
    buildLightingMapsThenBind();
    EXPECT_EQ(capture.finish(), "failure load image hdr.\n");
    EXPECT_EQ(hdrTexture, 0u);
    EXPECT_EQ(largest(readFace(envCubemap, 4, 0, 512)), 0.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
