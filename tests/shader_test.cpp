#include "render/shader.h"
#include "support/capture_stdout.h"
#include "support/gl_context.h"

#include <sstream>
#include <vector>

namespace {
const char* goodVertex = "#version 330 core\n"
                         "layout (location = 0) in vec3 aPos;\n"
                         "uniform mat4 model;\n"
                         "uniform float time;\n"
                         "out float shade;\n"
                         "void main() { shade = time; gl_Position = model * vec4(aPos, 1.0); }\n";
const char* goodFragment = "#version 330 core\n"
                           "in float shade;\n"
                           "uniform vec3 tint;\n"
                           "uniform int unit;\n"
                           "out vec4 FragColor;\n"
                           "void main() { FragColor = vec4(tint * shade + float(unit), 1.0); }\n";
const std::string separator = " -- --------------------------------------------------- -- ";

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The first line of every message block (the log lines between vary by driver).
std::vector<std::string> headlines(const std::string& text) {
    std::vector<std::string> heads;
    for (const std::string& line : linesOf(text)) {
        if (line.rfind("ERROR::", 0) == 0) {
            heads.push_back(line);
        }
    }
    return heads;
}

class ShaderTest : public GlTest {};
} // namespace

TEST_F(ShaderTest, GoodPairPrintsNothingAndLinks) {
    const std::string vs = writeTempFile("good.vs", goodVertex);
    const std::string fs = writeTempFile("good.fs", goodFragment);
    StdoutCapture capture;
    Shader shader(vs.c_str(), fs.c_str());
    EXPECT_EQ(capture.finish(), "");
    EXPECT_NE(shader.programId, 0u);
    GLint linked = 0;
    glGetProgramiv(shader.programId, GL_LINK_STATUS, &linked);
    EXPECT_TRUE(linked);
    GLint attached = 0;
    glGetProgramiv(shader.programId, GL_ATTACHED_SHADERS, &attached);
    EXPECT_EQ(attached, 2);
}

TEST_F(ShaderTest, MissingVertexFileEmptiesBothCodes) {
    const std::string fs = writeTempFile("good.fs", goodFragment);
    StdoutCapture capture;
    Shader shader("no/such/file.vs", fs.c_str());
    const std::string out = capture.finish();
    const auto heads = headlines(out);
    ASSERT_GE(heads.size(), 1u) << out;
    EXPECT_EQ(heads[0].rfind("ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ: ", 0), 0u);
    EXPECT_GT(heads[0].size(), std::string("ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ: ").size());
    // Mesa rejects both empty stages, then the link.
    const std::vector<std::string> expected = {heads[0],
                                               "ERROR::SHADER_COMPILATION_ERROR of type: VERTEX",
                                               "ERROR::SHADER_COMPILATION_ERROR of type: FRAGMENT",
                                               "ERROR::PROGRAM_LINKING_ERROR of type: PROGRAM"};
    EXPECT_EQ(heads, expected) << out;
    EXPECT_NE(shader.programId, 0u);
}

TEST_F(ShaderTest, MissingFragmentFileEmptiesTheVertexCodeToo) {
    const std::string vs = writeTempFile("good.vs", goodVertex);
    StdoutCapture capture;
    Shader shader(vs.c_str(), "no/such/file.fs");
    const std::string out = capture.finish();
    const auto heads = headlines(out);
    ASSERT_EQ(heads.size(), 4u) << out;
    EXPECT_EQ(heads[0].rfind("ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ: ", 0), 0u);
    EXPECT_EQ(heads[1], "ERROR::SHADER_COMPILATION_ERROR of type: VERTEX");
    EXPECT_EQ(heads[2], "ERROR::SHADER_COMPILATION_ERROR of type: FRAGMENT");
    EXPECT_EQ(heads[3], "ERROR::PROGRAM_LINKING_ERROR of type: PROGRAM");
}

TEST_F(ShaderTest, EmptyFileIsNotAReadFailure) {
    const std::string vs = writeTempFile("empty.vs", "");
    const std::string fs = writeTempFile("good.fs", goodFragment);
    StdoutCapture capture;
    Shader shader(vs.c_str(), fs.c_str());
    const std::string out = capture.finish();
    const auto heads = headlines(out);
    ASSERT_EQ(heads.size(), 2u) << out;
    EXPECT_EQ(heads[0], "ERROR::SHADER_COMPILATION_ERROR of type: VERTEX");
    EXPECT_EQ(heads[1], "ERROR::PROGRAM_LINKING_ERROR of type: PROGRAM");
}

TEST_F(ShaderTest, CompileErrorPrintsHeadLogAndSeparator) {
    const std::string vs = writeTempFile("good.vs", goodVertex);
    const std::string fs = writeTempFile("broken.fs", "#version 330 core\nvoid main() { oops }\n");
    StdoutCapture capture;
    Shader shader(vs.c_str(), fs.c_str());
    const std::string out = capture.finish();
    const auto lines = linesOf(out);
    ASSERT_GE(lines.size(), 3u) << out;
    EXPECT_EQ(lines[0], "ERROR::SHADER_COMPILATION_ERROR of type: FRAGMENT");
    EXPECT_NE(lines[1].find("error"), std::string::npos) << "the driver's log follows the head";
    // The fragment block ends with the separator, then the link block follows.
    const auto sep = out.find("\n" + separator + "\n");
    ASSERT_NE(sep, std::string::npos) << out;
    EXPECT_EQ(out.substr(sep + separator.size() + 2).rfind("ERROR::PROGRAM_LINKING_ERROR", 0), 0u);
    EXPECT_EQ(out.back(), '\n');
}

TEST_F(ShaderTest, LinkErrorOnlyReportsTheProgram) {
    // Both stages compile, but the fragment stage calls a function nobody defines.
    const std::string vs = writeTempFile("good.vs", goodVertex);
    const std::string fs = writeTempFile(
        "unresolved.fs", "#version 330 core\nvec3 undefinedHelper();\nout vec4 FragColor;\n"
                         "void main() { FragColor = vec4(undefinedHelper(), 1.0); }\n");
    StdoutCapture capture;
    Shader shader(vs.c_str(), fs.c_str());
    const std::string out = capture.finish();
    const auto lines = linesOf(out);
    ASSERT_GE(lines.size(), 2u) << out;
    EXPECT_EQ(lines.front(), "ERROR::PROGRAM_LINKING_ERROR of type: PROGRAM");
    EXPECT_EQ(lines.back(), separator);
    EXPECT_EQ(headlines(out).size(), 1u);
}

TEST_F(ShaderTest, SettersWriteTheCurrentProgramAndIgnoreUnknownNames) {
    const std::string vs = writeTempFile("good.vs", goodVertex);
    const std::string fs = writeTempFile("good.fs", goodFragment);
    Shader shader(vs.c_str(), fs.c_str());
    shader.activate();
    EXPECT_EQ(glInt(GL_CURRENT_PROGRAM), static_cast<int>(shader.programId));

    const glm::mat4 model(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    StdoutCapture capture;
    shader.setUniformFloat("time", 2.5f);
    shader.setUniformVec3("tint", glm::vec3(0.25f, 0.5f, 0.75f));
    shader.setUniformInt("unit", 3);
    shader.setUniformMat4("model", model);
    shader.setUniformFloat("noSuchUniform", 1.0f);
    shader.setUniformMat4("noSuchMatrix", model);
    EXPECT_EQ(capture.finish(), "");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const GLuint p = shader.programId;
    EXPECT_EQ(uniformFloat(p, "time"), 2.5f);
    EXPECT_EQ(uniformVec3(p, "tint"), glm::vec3(0.25f, 0.5f, 0.75f));
    EXPECT_EQ(uniformInt(p, "unit"), 3);
    EXPECT_EQ(uniformMat4(p, "model"), model) << "uploaded column-major, not transposed";

    shader.setUniformVec3("tint", 1.0f, 2.0f, 3.0f);
    EXPECT_EQ(uniformVec3(p, "tint"), glm::vec3(1.0f, 2.0f, 3.0f));
}

TEST_F(ShaderTest, SettersWriteIntoWhicheverProgramIsCurrent) {
    const std::string vs = writeTempFile("good.vs", goodVertex);
    const std::string fs = writeTempFile("good.fs", goodFragment);
    Shader first(vs.c_str(), fs.c_str());
    Shader second(vs.c_str(), fs.c_str());
    second.activate();
    first.setUniformFloat("time", 7.0f); // looked up in first, written into second
    EXPECT_EQ(uniformFloat(second.programId, "time"), 7.0f);
    EXPECT_EQ(uniformFloat(first.programId, "time"), 0.0f);
}
