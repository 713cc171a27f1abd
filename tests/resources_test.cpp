#include "render/gl.h"
#include "render/shader.h"
#include "scenes/resources.h"
#include "scenes/vertex_tables.h"
#include "support/capture_stdout.h"
#include "support/gl_context.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
bool samePosition(const float* a, const float* b, int vertex) {
    for (int k = 0; k < 3; ++k) {
        if (a[vertex * 6 + k] != b[vertex * 6 + k]) {
            return false;
        }
    }
    return true;
}

// Positions differ exactly at the listed vertices; colours never do.
void expectPositionsDifferOnlyAt(const float* a, const float* b, const std::vector<int>& moved) {
    for (int vertex = 0; vertex < 36; ++vertex) {
        const bool listed = std::find(moved.begin(), moved.end(), vertex) != moved.end();
        EXPECT_EQ(!samePosition(a, b, vertex), listed) << "vertex " << vertex;
        for (int k = 3; k < 6; ++k) {
            EXPECT_EQ(a[vertex * 6 + k], b[vertex * 6 + k]) << "colour of vertex " << vertex;
        }
    }
}

std::vector<float> bufferFloats(unsigned int buffer, GLenum target) {
    glBindBuffer(target, buffer);
    GLint bytes = 0;
    glGetBufferParameteriv(target, GL_BUFFER_SIZE, &bytes);
    std::vector<float> floats(bytes / sizeof(float));
    glGetBufferSubData(target, 0, bytes, floats.data());
    return floats;
}

int bufferBytes(unsigned int buffer) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    GLint bytes = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    return bytes;
}

struct Attribute {
    unsigned int location;
    int size;
    int stride;
    size_t offset;
    unsigned int buffer;
};

// Reads back every attribute of the bound vertex array; locations not listed must be off.
void expectLayout(unsigned int vao, const std::vector<Attribute>& attributes) {
    glBindVertexArray(vao);
    for (unsigned int location = 0; location < 6; ++location) {
        GLint enabled = 0;
        glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        const Attribute* expected = nullptr;
        for (const Attribute& a : attributes) {
            if (a.location == location) {
                expected = &a;
            }
        }
        EXPECT_EQ(enabled != 0, expected != nullptr) << "vao " << vao << " location " << location;
        if (expected == nullptr) {
            continue;
        }
        GLint size = 0, stride = 0, type = 0, normalized = 1, buffer = 0;
        void* pointer = nullptr;
        glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_SIZE, &size);
        glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &stride);
        glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_TYPE, &type);
        glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_NORMALIZED, &normalized);
        glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
        glGetVertexAttribPointerv(location, GL_VERTEX_ATTRIB_ARRAY_POINTER, &pointer);
        EXPECT_EQ(size, expected->size) << "location " << location;
        EXPECT_EQ(stride, expected->stride) << "location " << location;
        EXPECT_EQ(type, GL_FLOAT);
        EXPECT_EQ(normalized, GL_FALSE);
        EXPECT_EQ(static_cast<unsigned int>(buffer), expected->buffer) << "location " << location;
        EXPECT_EQ(reinterpret_cast<size_t>(pointer), expected->offset) << "location " << location;
    }
}

std::vector<Attribute> twoShapeLayout(unsigned int vboA, unsigned int vboB) {
    return {{0, 3, 24, 0, vboA}, {1, 3, 24, 12, vboA}, {2, 3, 24, 0, vboB}, {3, 3, 24, 12, vboB}};
}

class ResourcesTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        glEnable(GL_DEPTH_TEST);
    }
};
} // namespace

TEST(VertexTables, WarpedTablesMoveOnlyTheListedPositions) {
    expectPositionsDifferOnlyAt(plainCubeTable.data(), warpedCubeTable.data(),
                                {3, 9, 14, 31, 32, 33, 34, 35});
    expectPositionsDifferOnlyAt(splitCubeTable.data(), warpedSplitCubeTable.data(),
                                {2, 3, 4, 5, 19, 20, 21, 22, 23, 27, 28, 29, 30, 31, 32, 33});
}

// Every shader file names itself in an #error line, and a decoy with the other spelling of
// the folder says WRONG: the driver's compile logs then show which files were opened, in order.
TEST_F(ResourcesTest, ProgramsAreBuiltInOrderFromTheExactPaths) {
    const std::vector<std::string> paths = {
        "labShaders/title.vs",  "labShaders/title.fs",  "labShaders/Scene2.vs",
        "labShaders/Scene2.fs", "labShaders/Scene3.vs", "labShaders/Scene3.fs",
        "labShaders/Scene4.vs", "labshaders/Scene4.fs", "labShaders/Scene5.vs",
        "labshaders/Scene5.fs", "labShaders/Scene6.vs", "labshaders/Scene6.fs"};
    char folder[] = "/tmp/heptad-resources-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string root = folder;
    mkdir((root + "/labShaders").c_str(), 0700);
    mkdir((root + "/labshaders").c_str(), 0700);
    for (const std::string& path : paths) {
        std::ofstream(root + "/" + path) << "#version 330 core\n#error " << path << "\n";
        std::string decoy = path;
        decoy[3] = decoy[3] == 'S' ? 's' : 'S';
        std::ofstream(root + "/" + decoy) << "#version 330 core\n#error WRONG " << decoy << "\n";
    }
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(folder), 0);
    StdoutCapture capture;
    createSceneResources();
    const std::string out = capture.finish();
    ASSERT_EQ(chdir(previous), 0);

    EXPECT_EQ(out.find("WRONG"), std::string::npos) << out;
    std::vector<std::string> heads;
    std::vector<std::string> named;
    std::stringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("ERROR::", 0) == 0 || line.rfind("Texture", 0) == 0) {
            heads.push_back(line);
        }
        for (const std::string& path : paths) {
            if (line.find(path) != std::string::npos) {
                named.push_back(path);
            }
        }
    }
    EXPECT_EQ(named, paths) << out;
    std::vector<std::string> expected;
    for (int program = 0; program < 6; ++program) {
        expected.push_back("ERROR::SHADER_COMPILATION_ERROR of type: VERTEX");
        expected.push_back("ERROR::SHADER_COMPILATION_ERROR of type: FRAGMENT");
        expected.push_back("ERROR::PROGRAM_LINKING_ERROR of type: PROGRAM");
    }
    expected.push_back("Texture failed to load at path: imgs/logo.png");
    expected.push_back("Texture failed to load at path: imgs/Tarvogreets.png");
    expected.push_back("Texture failed to load at path: imgs/Greets.png");
    EXPECT_EQ(heads, expected) << out;
    EXPECT_TRUE(titleShader.programId < scene2Shader.programId &&
                scene2Shader.programId < scene3Shader.programId &&
                scene3Shader.programId < scene4Shader.programId &&
                scene4Shader.programId < scene5Shader.programId &&
                scene5Shader.programId < scene6Shader.programId);
    EXPECT_NE(logoTexture, 0u);
    EXPECT_NE(tarvoGreetsTexture, logoTexture);
    EXPECT_NE(greetsTexture, tarvoGreetsTexture);
    EXPECT_EQ(tiltValue, 0.0f);
    // GL refuses to make the unlinked programs current for the sampler assignments; start-up
    // goes on regardless.
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_OPERATION));
}

TEST_F(ResourcesTest, TablesAreUploadedWhole) {
    StdoutCapture capture;
    createSceneResources();
    capture.finish();

    const std::vector<std::pair<unsigned int, const float*>> cubes = {
        {spareCubeVBOa, warpedCubeTable.data()}, {spareCubeVBOb, warpedSplitCubeTable.data()},
        {scene2VBOa, plainCubeTable.data()},     {scene2VBOb, splitCubeTable.data()},
        {scene3VBOa, warpedCubeTable.data()},    {scene3VBOb, warpedSplitCubeTable.data()}};
    for (const auto& [buffer, table] : cubes) {
        EXPECT_EQ(bufferBytes(buffer), 864);
        EXPECT_EQ(bufferFloats(buffer, GL_ARRAY_BUFFER),
                  std::vector<float>(table, table + cubeTableFloats));
    }
    EXPECT_EQ(bufferBytes(cardVBO), 128);
    EXPECT_EQ(bufferFloats(cardVBO, GL_ARRAY_BUFFER),
              std::vector<float>(cardTable, cardTable + 32));
    glBindVertexArray(cardVAO);
    EXPECT_EQ(glInt(GL_ELEMENT_ARRAY_BUFFER_BINDING), static_cast<int>(cardEBO));
    GLint indexBytes = 0;
    glGetBufferParameteriv(GL_ELEMENT_ARRAY_BUFFER, GL_BUFFER_SIZE, &indexBytes);
    EXPECT_EQ(indexBytes, 24);
    std::vector<unsigned int> indices(6);
    glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, 24, indices.data());
    EXPECT_EQ(indices, (std::vector<unsigned int>{0, 1, 3, 1, 2, 3}));
    GLint usage = 0;
    glGetBufferParameteriv(GL_ELEMENT_ARRAY_BUFFER, GL_BUFFER_USAGE, &usage);
    EXPECT_EQ(usage, GL_STATIC_DRAW);

    expectLayout(cardVAO,
                 {{0, 3, 32, 0, cardVBO}, {1, 3, 32, 12, cardVBO}, {2, 2, 32, 24, cardVBO}});
    expectLayout(spareCubeVAO, twoShapeLayout(spareCubeVBOa, spareCubeVBOb));
    expectLayout(scene2VAO, twoShapeLayout(scene2VBOa, scene2VBOb));
    expectLayout(scene3VAO, twoShapeLayout(scene3VBOa, scene3VBOb));
    glBindVertexArray(scene2VAO);
    EXPECT_EQ(glInt(GL_ELEMENT_ARRAY_BUFFER_BINDING), 0);

    // The window-close exit removes the spare array and its first buffer only.
    glBindVertexArray(0);
    deleteSpareCube();
    EXPECT_FALSE(glIsVertexArray(spareCubeVAO));
    EXPECT_FALSE(glIsBuffer(spareCubeVBOa));
    EXPECT_TRUE(glIsBuffer(spareCubeVBOb));
    EXPECT_TRUE(glIsVertexArray(scene3VAO));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ResourcesTest, CardDrawsThroughItsOwnElementBuffer) {
    StdoutCapture capture;
    createSceneResources();
    capture.finish();
    // Positions as they are and the corner colours, no transform: the card spans the central
    // half of the screen with red top right and blue bottom left.
    const std::string vs = writeTempFile("card.vs", "#version 330 core\n"
                                                    "layout (location = 0) in vec3 aPos;\n"
                                                    "layout (location = 1) in vec3 aColor;\n"
                                                    "out vec3 colour;\n"
                                                    "void main() { colour = aColor;\n"
                                                    "  gl_Position = vec4(aPos, 1.0); }\n");
    const std::string fs =
        writeTempFile("card.fs", "#version 330 core\n"
                                 "in vec3 colour;\n"
                                 "out vec4 FragColor;\n"
                                 "void main() { FragColor = vec4(colour, 1); }\n");
    Shader flat(vs.c_str(), fs.c_str());
    flat.activate();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Another array (with no element buffer) was bound last; binding the card's array alone
    // must bring its element buffer back.
    glBindVertexArray(scene2VAO);
    glBindVertexArray(cardVAO);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const glm::u8vec4 topRight = pixelAt(1439, 809);
    const glm::u8vec4 bottomLeft = pixelAt(480, 270);
    EXPECT_GT(topRight.r, 250);
    EXPECT_LT(topRight.b, 5);
    EXPECT_GT(bottomLeft.b, 250);
    EXPECT_LT(bottomLeft.r, 5);
    EXPECT_EQ(pixelAt(1440, 809), glm::u8vec4(0, 0, 0, 255));
    EXPECT_EQ(pixelAt(479, 270), glm::u8vec4(0, 0, 0, 255));
}
