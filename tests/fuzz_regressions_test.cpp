#include "render/hdr_image.h"
#include "render/image_decode.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <stb_image.h>

namespace fs = std::filesystem;

namespace {
std::vector<fs::path> regressions(const char* harness) {
    std::vector<fs::path> files;
    const fs::path folder = fs::path(HEPTAD_SOURCE_DIR) / "tests/fuzz/regressions" / harness;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        files.push_back(entry.path());
    }
    return files;
}
} // namespace

// Every input the fuzzers once broke the decoders with (a heap overflow, a hang, a huge
// allocation) is refused quietly now; under the sanitizers this also checks nothing is touched
// out of bounds on the way.
TEST(FuzzRegressions, EveryFoundInputIsRefused) {
    for (const char* harness : {"image", "hdr"}) {
        const std::vector<fs::path> files = regressions(harness);
        EXPECT_FALSE(files.empty()) << harness;
        for (const fs::path& path : files) {
            std::FILE* file = std::fopen(path.c_str(), "rb");
            ASSERT_NE(file, nullptr) << path;
            if (std::string(harness) == "image") {
                const DecodedImage image = decodeImage(file, 16384);
                EXPECT_EQ(image.pixels, nullptr) << path;
                stbi_image_free(image.pixels);
            } else {
                const HdrImage image = readHdrImage(file, 16384);
                EXPECT_EQ(image.pixels, nullptr) << path;
                stbi_image_free(image.pixels);
            }
            std::fclose(file);
        }
    }
}
