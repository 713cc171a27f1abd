#include "render/mesh_data.h"
#include "render/meshes.h"
#include "render/shader.h"
#include "support/capture_stdout.h"
#include "support/gl_context.h"

#include <glm/glm.hpp>
#include <vector>

namespace {
// Vertex k of the interleaved sphere: position, normal, uv.
glm::vec3 spherePosition(const SphereMesh& mesh, int k) {
    return glm::vec3(mesh.vertices[8 * k], mesh.vertices[8 * k + 1], mesh.vertices[8 * k + 2]);
}
glm::vec3 sphereNormal(const SphereMesh& mesh, int k) {
    return glm::vec3(mesh.vertices[8 * k + 3], mesh.vertices[8 * k + 4], mesh.vertices[8 * k + 5]);
}
glm::vec2 sphereUv(const SphereMesh& mesh, int k) {
    return glm::vec2(mesh.vertices[8 * k + 6], mesh.vertices[8 * k + 7]);
}

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// The next names GL hands out: if a draw created objects in between, the names jump.
unsigned int nextBufferName() {
    unsigned int name = 0;
    glGenBuffers(1, &name);
    return name;
}
unsigned int nextVertexArrayName() {
    unsigned int name = 0;
    glGenVertexArrays(1, &name);
    return name;
}

int boundBufferSize(GLenum target) {
    GLint size = 0;
    glGetBufferParameteriv(target, GL_BUFFER_SIZE, &size);
    return size;
}

// Draws location 0 straight to clip space and paints it with location `colourFrom` (or white).
Shader flatShader(const char* colour) {
    const std::string vs =
        writeTempFile("flat.vs", "#version 330 core\n"
                                 "layout (location = 0) in vec3 aPos;\n"
                                 "layout (location = 1) in vec2 aUv;\n"
                                 "out vec2 uv;\n"
                                 "void main() { uv = aUv; gl_Position = vec4(aPos, 1.0); }\n");
    const std::string fs = writeTempFile("flat.fs", std::string("#version 330 core\n"
                                                                "in vec2 uv;\n"
                                                                "out vec4 FragColor;\n"
                                                                "void main() { FragColor = ") +
                                                        colour + "; }\n");
    return Shader(vs.c_str(), fs.c_str());
}

class MeshTest : public GlTest {};
} // namespace

TEST(SphereMesh, GridRunsPoleToPoleWithASeam) {
    const SphereMesh mesh = buildSphereMesh();
    ASSERT_EQ(mesh.vertices.size(), 4225u * 8u);

    EXPECT_EQ(spherePosition(mesh, 0), glm::vec3(0.0f, 1.0f, 0.0f));
    EXPECT_EQ(sphereUv(mesh, 0), glm::vec2(0.0f, 0.0f));
    // i = 16, j = 32: a quarter turn round, halfway down.
    expectNear(spherePosition(mesh, 1072), glm::vec3(0.0f, 0.0f, 1.0f), 1e-6f);
    EXPECT_EQ(sphereUv(mesh, 1072), glm::vec2(0.25f, 0.5f));

    for (int i = 0; i <= 64; ++i) {
        expectNear(spherePosition(mesh, 65 * i), glm::vec3(0.0f, 1.0f, 0.0f), 1e-6f);
        expectNear(spherePosition(mesh, 65 * i + 64), glm::vec3(0.0f, -1.0f, 0.0f), 1e-6f);
    }
    for (int j = 0; j <= 64; ++j) {
        // Columns 0 and 64 meet: same place, u 0 against u 1.
        expectNear(spherePosition(mesh, 64 * 65 + j), spherePosition(mesh, j), 1e-6f);
        expectNear(sphereNormal(mesh, 64 * 65 + j), sphereNormal(mesh, j), 1e-6f);
        EXPECT_EQ(sphereUv(mesh, j).x, 0.0f);
        EXPECT_EQ(sphereUv(mesh, 64 * 65 + j).x, 1.0f);
    }
    for (int k = 0; k < 4225; ++k) {
        // A unit sphere: the normal is the position, and both have length 1.
        EXPECT_EQ(sphereNormal(mesh, k), spherePosition(mesh, k));
        EXPECT_NEAR(glm::length(spherePosition(mesh, k)), 1.0f, 1e-6f);
    }
}

TEST(SphereMesh, OneStripOfAlternatingDirection) {
    const SphereMesh mesh = buildSphereMesh();
    const std::vector<unsigned int>& index = mesh.indices;
    ASSERT_EQ(index.size(), 8320u);
    EXPECT_EQ(std::vector<unsigned int>(index.begin(), index.begin() + 6),
              (std::vector<unsigned int>{0, 65, 1, 66, 2, 67}));
    // Strip 0 ends at the south pole, strip 1 starts back from there.
    EXPECT_EQ(index[128], 64u);
    EXPECT_EQ(index[129], 129u);
    EXPECT_EQ(std::vector<unsigned int>(index.begin() + 130, index.begin() + 134),
              (std::vector<unsigned int>{194, 129, 193, 128}));
    unsigned int largest = 0;
    for (unsigned int i : index) {
        largest = std::max(largest, i);
    }
    EXPECT_EQ(largest, 4224u);
    // Every join between strips is a triangle with all corners at one pole.
    for (int s = 1; s < 64; ++s) {
        const int pole = (s % 2 == 1) ? 64 : 0;
        EXPECT_EQ(index[130 * s - 1] % 65, static_cast<unsigned int>(pole));
        EXPECT_EQ(index[130 * s] % 65, static_cast<unsigned int>(pole));
        EXPECT_EQ(index[130 * s + 1] % 65, static_cast<unsigned int>(pole));
    }
}

TEST(CubeAndQuadTables, SizesAndSpotChecks) {
    EXPECT_EQ(sizeof(cubeVertexTable), 1152u);
    EXPECT_EQ(sizeof(quadVertexTable), 80u);

    // Faces -Z, +Z, -X, +X, -Y, +Y, six vertices each, every corner on its own face.
    const glm::vec3 faceNormals[6] = {{0, 0, -1}, {0, 0, 1},  {-1, 0, 0},
                                      {1, 0, 0},  {0, -1, 0}, {0, 1, 0}};
    for (int v = 0; v < 36; ++v) {
        const float* vertex = cubeVertexTable + 8 * v;
        const glm::vec3 position(vertex[0], vertex[1], vertex[2]);
        const glm::vec3 normal(vertex[3], vertex[4], vertex[5]);
        EXPECT_EQ(normal, faceNormals[v / 6]) << "vertex " << v;
        EXPECT_EQ(glm::dot(position, normal), 1.0f) << "vertex " << v;
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(std::abs(position[c]), 1.0f);
        }
    }
    const float vertex1[8] = {1, 1, -1, 0, 0, -1, 1, 1};
    const float vertex19[8] = {1, -1, -1, 1, 0, 0, 0, 1};
    const float vertex31[8] = {1, 1, 1, 0, 1, 0, 1, 0};
    const float vertex35[8] = {-1, 1, 1, 0, 1, 0, 0, 0};
    for (int f = 0; f < 8; ++f) {
        EXPECT_EQ(cubeVertexTable[8 * 1 + f], vertex1[f]);
        EXPECT_EQ(cubeVertexTable[8 * 19 + f], vertex19[f]);
        EXPECT_EQ(cubeVertexTable[8 * 31 + f], vertex31[f]);
        EXPECT_EQ(cubeVertexTable[8 * 35 + f], vertex35[f]);
    }

    const float quad[20] = {-1, 1, 0, 0, 1, -1, -1, 0, 0, 0, 1, 1, 0, 1, 1, 1, -1, 0, 1, 0};
    for (int f = 0; f < 20; ++f) {
        EXPECT_EQ(quadVertexTable[f], quad[f]);
    }
}

TEST_F(MeshTest, SphereBuildsOnceAndKeepsItsArrayBound) {
    EXPECT_EQ(sphereVAO, 0u);
    drawSphere();
    ASSERT_NE(sphereVAO, 0u);
    EXPECT_TRUE(glIsVertexArray(sphereVAO));
    EXPECT_EQ(sphereIndexCount, 8320);
    EXPECT_EQ(glInt(GL_VERTEX_ARRAY_BINDING), static_cast<int>(sphereVAO));
    // The first call leaves the new vertex buffer bound; the element buffer is the array's.
    EXPECT_NE(glInt(GL_ARRAY_BUFFER_BINDING), 0);
    EXPECT_EQ(boundBufferSize(GL_ARRAY_BUFFER), 4225 * 32);
    EXPECT_EQ(boundBufferSize(GL_ELEMENT_ARRAY_BUFFER), 8320 * 4);
    GLint stride = 0;
    glGetVertexAttribiv(2, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &stride);
    EXPECT_EQ(stride, 32);

    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
    const unsigned int buffer = nextBufferName();
    const unsigned int array = nextVertexArrayName();
    drawSphere();
    EXPECT_EQ(nextBufferName(), buffer + 1);
    EXPECT_EQ(nextVertexArrayName(), array + 1);
    EXPECT_EQ(glInt(GL_VERTEX_ARRAY_BINDING), static_cast<int>(sphereVAO));
    EXPECT_EQ(glInt(GL_ARRAY_BUFFER_BINDING), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshTest, LightSphereIsASecondIndependentInstance) {
    drawSphere();
    const unsigned int sphere = sphereVAO;
    EXPECT_EQ(lightSphereVAO, 0u);
    drawLightSphere();
    ASSERT_NE(lightSphereVAO, 0u);
    EXPECT_NE(lightSphereVAO, sphere);
    EXPECT_EQ(sphereVAO, sphere);
    EXPECT_EQ(lightSphereIndexCount, 8320);
    EXPECT_EQ(glInt(GL_VERTEX_ARRAY_BINDING), static_cast<int>(lightSphereVAO));
    EXPECT_EQ(boundBufferSize(GL_ELEMENT_ARRAY_BUFFER), 8320 * 4);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshTest, SphereStripCoversTheDiscWithoutHoles) {
    StdoutCapture quiet;
    const Shader white = flatShader("vec4(1.0)");
    EXPECT_EQ(quiet.finish(), "");
    white.activate();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    drawSphere();

    // Seen down z with no transform the unit sphere covers the unit disc of clip space.
    for (int gy = 0; gy <= 40; ++gy) {
        for (int gx = 0; gx <= 40; ++gx) {
            const glm::vec2 ndc(gx / 20.0f - 1.0f, gy / 20.0f - 1.0f);
            const float r = glm::length(ndc);
            if (r > 0.97f && r < 1.03f) {
                continue; // the polygonal outline
            }
            const int x = std::min(1919, static_cast<int>((ndc.x + 1.0f) * 960.0f));
            const int y = std::min(1079, static_cast<int>((ndc.y + 1.0f) * 540.0f));
            EXPECT_EQ(pixelAt(x, y).r, r < 1.0f ? 255 : 0) << "at " << ndc.x << ", " << ndc.y;
        }
    }
}

TEST_F(MeshTest, CubeBuildsOnceAndLeavesNothingBound) {
    drawCube();
    ASSERT_NE(cubeVAO, 0u);
    ASSERT_NE(cubeVBO, 0u);
    EXPECT_EQ(glInt(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(glInt(GL_ARRAY_BUFFER_BINDING), 0);
    glBindBuffer(GL_ARRAY_BUFFER, cubeVBO);
    EXPECT_EQ(boundBufferSize(GL_ARRAY_BUFFER), 1152);

    const unsigned int buffer = nextBufferName();
    const unsigned int array = nextVertexArrayName();
    drawCube();
    EXPECT_EQ(nextBufferName(), buffer + 1);
    EXPECT_EQ(nextVertexArrayName(), array + 1);
    EXPECT_EQ(glInt(GL_VERTEX_ARRAY_BINDING), 0);
    // Later calls leave the array-buffer binding alone.
    EXPECT_EQ(glInt(GL_ARRAY_BUFFER_BINDING), static_cast<int>(cubeVBO));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshTest, QuadCoversTheViewportWithUvsFromBottomLeft) {
    StdoutCapture quiet;
    const Shader uvShader = flatShader("vec4(uv, 1.0, 1.0)");
    EXPECT_EQ(quiet.finish(), "");
    uvShader.activate();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    drawQuad();
    ASSERT_NE(quadVAO, 0u);
    EXPECT_EQ(glInt(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(glInt(GL_ARRAY_BUFFER_BINDING), static_cast<int>(quadVBO));
    EXPECT_EQ(boundBufferSize(GL_ARRAY_BUFFER), 80);

    // Every pixel is drawn (blue 255) and u, v run 0 to 1 left to right, bottom to top.
    std::vector<glm::u8vec4> pixels(1920 * 1080);
    glReadPixels(0, 0, 1920, 1080, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int undrawn = 0;
    for (const glm::u8vec4& pixel : pixels) {
        undrawn += pixel.b != 255 ? 1 : 0;
    }
    EXPECT_EQ(undrawn, 0);
    EXPECT_LE(pixelAt(0, 0).r, 1);
    EXPECT_LE(pixelAt(0, 0).g, 1);
    EXPECT_GE(pixelAt(1919, 1079).r, 254);
    EXPECT_GE(pixelAt(1919, 1079).g, 254);
    EXPECT_NEAR(pixelAt(960, 270).r, 128, 1);
    EXPECT_NEAR(pixelAt(960, 270).g, 64, 1);

    const unsigned int buffer = nextBufferName();
    drawQuad();
    EXPECT_EQ(nextBufferName(), buffer + 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
