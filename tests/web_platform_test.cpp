// The GL-free parts of the browser build's platform layer: every shader file in its ES dialect
// passes the reference GLSL front end, wireframe edges, and the page's arguments.
#include "render/web/polygon_edges.h"
#include "render/web/shader_dialect.h"
#include "web/web_options.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace fs = std::filesystem;

TEST(ShaderDialect, EveryShaderCompilesAsGlslEs300) {
    const fs::path scratch = fs::temp_directory_path() / "heptad-es-shaders";
    fs::create_directories(scratch);
    int checked = 0;
    for (const char* folder : {"labShaders", "labshaders"}) {
        for (const auto& entry : fs::directory_iterator(fs::path(HEPTAD_SOURCE_DIR) / folder)) {
            const std::string extension = entry.path().extension().string();
            ASSERT_TRUE(extension == ".vs" || extension == ".fs") << entry.path();
            std::stringstream source;
            source << std::ifstream(entry.path()).rdbuf();
            const std::string es = toEsDialect(source.str());
            ASSERT_EQ(es.rfind("#version 300 es\n", 0), 0u) << entry.path();
            // glslangValidator takes the stage from .vert / .frag.
            const fs::path file =
                scratch / (entry.path().stem().string() + (extension == ".vs" ? ".vert" : ".frag"));
            std::ofstream(file) << es;
            const std::string command = "glslangValidator " + file.string() + " >/dev/null 2>&1";
            EXPECT_EQ(std::system(command.c_str()), 0) << entry.path() << " as GLSL ES 3.00";
            ++checked;
        }
    }
    fs::remove_all(scratch);
    EXPECT_GE(checked, 24); // every shader the demo loads
}

TEST(ShaderDialect, KeepsLineNumbersAndLeavesOtherSourcesAlone) {
    const std::string es = toEsDialect("#version 330 core\nout vec4 c;\nvoid main() {}\n");
    EXPECT_EQ(es.substr(0, 16), "#version 300 es\n");
    EXPECT_NE(es.find("precision highp float;"), std::string::npos);
    // The file's second line keeps its number in compile errors.
    EXPECT_NE(es.find("#line 2\nout vec4 c;\n"), std::string::npos);
    EXPECT_EQ(toEsDialect("#version 300 es\nvoid main() {}\n"),
              "#version 300 es\nvoid main() {}\n");
    EXPECT_EQ(toEsDialect(""), "");
}

TEST(PolygonEdges, ThreeEdgesPerTriangleOfListsAndStrips) {
    const std::vector<unsigned int> triangles = triangleEdgeLines(4, {7, 8, 9, 1, 2, 3, 5});
    EXPECT_EQ(triangles, (std::vector<unsigned int>{7, 8, 8, 9, 9, 7, 1, 2, 2, 3, 3, 1}));
    const std::vector<unsigned int> strip = triangleEdgeLines(5, {0, 1, 2, 3});
    EXPECT_EQ(strip, (std::vector<unsigned int>{0, 1, 1, 2, 2, 0, 1, 2, 2, 3, 3, 1}));
    EXPECT_TRUE(triangleEdgeLines(5, {0, 1}).empty());
    EXPECT_TRUE(triangleEdgeLines(1, {0, 1, 2}).empty()); // GL_LINES is left as it is
}

TEST(WebOptions, ReadsThePagesArgumentsAndRefusesBadOnes) {
    std::string error;
    const WebOptions options = parseWebOptions(
        {"--size", "960x540", "--speed", "20", "--still", "150", "--glcheck", "--gentle"}, error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(options.width, 960);
    EXPECT_EQ(options.height, 540);
    EXPECT_EQ(options.speed, 20.0);
    EXPECT_TRUE(options.still);
    EXPECT_EQ(options.stillTime, 150.0);
    EXPECT_TRUE(options.glCheck);
    EXPECT_TRUE(options.gentle);
    EXPECT_EQ(parseWebOptions({}, error).width, 1920);
    EXPECT_FALSE(parseWebOptions({}, error).gentle);
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"--size", "960"},
                                               {"--size", "0x540"},
                                               {"--speed", "-1"},
                                               {"--speed", "nan"},
                                               {"--still", "170"},
                                               {"--still"},
                                               {"--volume", "3"}}) {
        error.clear();
        const WebOptions refused = parseWebOptions(bad, error);
        EXPECT_NE(error, "") << bad[0];
        EXPECT_EQ(refused.width, 1920) << bad[0];
    }
}
