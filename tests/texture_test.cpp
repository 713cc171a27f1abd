#include "render/image_decode.h"
#include "render/texture.h"
#include "support/capture_stdout.h"
#include "support/gl_context.h"
#include "support/png16.h"

#include <cstdio>
#include <fstream>
#include <stb_image.h>
#include <stb_image_write.h>
#include <vector>

namespace {
// Writes a PNG whose first row is the top of the picture, as every image file stores it.
std::string writePng(const std::string& name, int width, int height, int channels,
                     const std::vector<unsigned char>& pixels) {
    const std::string path = writeTempFile(name, "");
    EXPECT_TRUE(
        stbi_write_png(path.c_str(), width, height, channels, pixels.data(), width * channels));
    return path;
}

// Pixels numbered so that every byte of a small image differs.
std::vector<unsigned char> countingPixels(int width, int height, int channels) {
    std::vector<unsigned char> pixels(width * height * channels);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<unsigned char>(17 + 7 * i);
    }
    return pixels;
}

// The same rows in reverse order: what GL must hold, bottom row first.
std::vector<unsigned char> flippedRows(const std::vector<unsigned char>& pixels, int width,
                                       int height, int channels) {
    std::vector<unsigned char> flipped;
    for (int row = height - 1; row >= 0; --row) {
        const auto first = pixels.begin() + row * width * channels;
        flipped.insert(flipped.end(), first, first + width * channels);
    }
    return flipped;
}

std::vector<unsigned char> readLevel(int level, GLenum format, size_t bytes) {
    std::vector<unsigned char> texels(bytes, 0xee);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, texels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return texels;
}

int levelParameter(int level, GLenum name) {
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

int textureParameter(GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

class TextureTest : public GlTest {};
} // namespace

TEST_F(TextureTest, UnreadableFilesAreReportedAndStillYieldAName) {
    const std::vector<unsigned char> image = countingPixels(4, 4, 3);
    const std::string good = writePng("good.png", 4, 4, 3, image);
    std::FILE* file = std::fopen(good.c_str(), "rb");
    std::vector<char> bytes(4096);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    // A PNG signature over garbage, and a real PNG cut off in its pixel data.
    const std::string corrupt =
        writeTempFile("corrupt.png", std::string(bytes.data(), 8) + std::string(200, '\x5a'));
    const std::string truncated =
        writeTempFile("truncated.png", std::string(bytes.data(), bytes.size() / 2));

    // A sound JPEG too: the system's stb_image cannot be trusted with JPEG files (see the fuzz
    // regressions), and the demo's pictures are PNGs.
    const std::string jpeg = writeTempFile("photo.jpg", "");
    ASSERT_TRUE(stbi_write_jpg(jpeg.c_str(), 4, 4, 3, image.data(), 90));

    for (const std::string& path :
         {std::string("imgs/no-such-logo.png"), corrupt, truncated, jpeg}) {
        StdoutCapture capture;
        const unsigned int name = loadImageTexture(path.c_str());
        EXPECT_EQ(capture.finish(), "Texture failed to load at path: " + path + "\n");
        EXPECT_NE(name, 0u);
        // Named but never bound: no texture object exists behind it, and nothing got bound.
        EXPECT_FALSE(glIsTexture(name)) << path;
        EXPECT_EQ(glInt(GL_TEXTURE_BINDING_2D), 0) << path;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureTest, ChannelCountPicksTheFormatAndSamplesAsExpected) {
    // One pixel (grey 200, alpha 100 where there is one); read back as RGBA.
    const std::vector<std::vector<unsigned char>> pixel = {
        {200}, {200, 100}, {200, 150, 50}, {200, 150, 50, 100}};
    const GLenum formats[] = {GL_RED, GL_RG, GL_RGB, GL_RGBA};
    const std::vector<std::vector<unsigned char>> seen = {
        {200, 0, 0, 255}, {200, 100, 0, 255}, {200, 150, 50, 255}, {200, 150, 50, 100}};
    for (int channels = 1; channels <= 4; ++channels) {
        const std::string path =
            writePng("c" + std::to_string(channels) + ".png", 1, 1, channels, pixel[channels - 1]);
        StdoutCapture capture;
        const unsigned int name = loadImageTexture(path.c_str());
        EXPECT_EQ(capture.finish(), "");
        ASSERT_EQ(glInt(GL_TEXTURE_BINDING_2D), static_cast<int>(name));
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT),
                  static_cast<int>(formats[channels - 1]))
            << channels << " channels";
        // Grey lands in red only; a two-channel image keeps its alpha in green.
        EXPECT_EQ(readLevel(0, GL_RGBA, 4), seen[channels - 1]) << channels << " channels";
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureTest, RowsOfAnyLengthArriveIntactAndFlipped) {
    struct Case {
        int width, height, channels;
        GLenum format;
    };
    // Rows of 15, 7, 6 and 12 bytes: only the last is a multiple of the default alignment.
    const Case cases[] = {
        {5, 3, 3, GL_RGB}, {7, 2, 1, GL_RED}, {3, 3, 2, GL_RG}, {3, 2, 4, GL_RGBA}};
    for (const Case& c : cases) {
        const std::vector<unsigned char> image = countingPixels(c.width, c.height, c.channels);
        const std::string path = writePng("odd" + std::to_string(c.width) + ".png", c.width,
                                          c.height, c.channels, image);
        const unsigned int name = loadImageTexture(path.c_str());
        ASSERT_EQ(glInt(GL_TEXTURE_BINDING_2D), static_cast<int>(name));
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), c.width);
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), c.height);
        // GL's row 0 is the bottom of the picture: the file's last row.
        EXPECT_EQ(readLevel(0, c.format, image.size()),
                  flippedRows(image, c.width, c.height, c.channels))
            << c.width << "x" << c.height << "x" << c.channels;
        EXPECT_EQ(glInt(GL_UNPACK_ALIGNMENT), 4);
    }

    // The flip is process-wide: a later plain stb_image load comes back flipped too.
    const std::vector<unsigned char> twoRows = {10, 20};
    const std::string path = writePng("rows.png", 1, 2, 1, twoRows);
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, 0);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(pixels[0], 20);
    EXPECT_EQ(pixels[1], 10);
    stbi_image_free(pixels);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureTest, ParametersMipmapsAndTheUnitItStaysBoundOn) {
    glActiveTexture(GL_TEXTURE3);
    std::vector<unsigned char> image;
    for (int i = 0; i < 8 * 4; ++i) {
        image.insert(image.end(), {40, 120, 200, 255});
    }
    const std::string path = writePng("solid.png", 8, 4, 4, image);
    const unsigned int name = loadImageTexture(path.c_str());

    EXPECT_EQ(glInt(GL_ACTIVE_TEXTURE), GL_TEXTURE3);
    EXPECT_EQ(glInt(GL_TEXTURE_BINDING_2D), static_cast<int>(name));
    glActiveTexture(GL_TEXTURE0);
    EXPECT_EQ(glInt(GL_TEXTURE_BINDING_2D), 0);
    glActiveTexture(GL_TEXTURE3);

    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    // The full chain down to 1 x 1, averaged from the picture.
    EXPECT_EQ(levelParameter(2, GL_TEXTURE_WIDTH), 2);
    EXPECT_EQ(levelParameter(2, GL_TEXTURE_HEIGHT), 1);
    EXPECT_EQ(levelParameter(3, GL_TEXTURE_WIDTH), 1);
    EXPECT_EQ(levelParameter(3, GL_TEXTURE_HEIGHT), 1);
    EXPECT_EQ(readLevel(3, GL_RGBA, 4), (std::vector<unsigned char>{40, 120, 200, 255}));
    EXPECT_EQ(glInt(GL_UNPACK_ALIGNMENT), 4);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureTest, PicturesLargerThanGlCanHoldAreRefusedLikeUnreadableOnes) {
    // GL would answer GL_INVALID_VALUE and keep an empty texture: a failure that looked like
    // success. One past the limit in either direction is refused, the limit itself is not.
    const int limit = glInt(GL_MAX_TEXTURE_SIZE);
    EXPECT_EQ(planImageUpload(limit, 1, 1, limit).format, static_cast<unsigned int>(GL_RED));
    EXPECT_EQ(planImageUpload(limit + 1, 1, 1, limit).format, 0u);
    EXPECT_EQ(planImageUpload(1, limit + 1, 4, limit).format, 0u);
    EXPECT_EQ(planImageUpload(2, 2, 0, limit).format, 0u);
    EXPECT_EQ(planImageUpload(2, 2, 5, limit).format, 0u);
    EXPECT_EQ(planImageUpload(0, 2, 3, limit).format, 0u);
    EXPECT_EQ(planImageUpload(5, 3, 3, limit).bytes, 45u);

    const std::string wide = writePng("wide.png", limit + 1, 1, 1, countingPixels(limit + 1, 1, 1));
    const std::string tall = writePng("tall.png", 1, limit + 1, 3, countingPixels(1, limit + 1, 3));
    for (const std::string& path : {wide, tall}) {
        StdoutCapture capture;
        const unsigned int name = loadImageTexture(path.c_str());
        EXPECT_EQ(capture.finish(), "Texture failed to load at path: " + path + "\n");
        EXPECT_NE(name, 0u);
        EXPECT_FALSE(glIsTexture(name)) << path;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << path;
    }
    // The largest size GL takes still loads.
    const std::string widest = writePng("widest.png", limit, 1, 1, countingPixels(limit, 1, 1));
    StdoutCapture capture;
    const unsigned int name = loadImageTexture(widest.c_str());
    EXPECT_EQ(capture.finish(), "");
    EXPECT_TRUE(glIsTexture(name));
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), limit);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureTest, SixteenBitPngsKeepTheirHighBytes) {
    // stb_image reduces each 16-bit sample to its high byte; the picture must stay the same.
    const std::vector<uint16_t> samples = {0x1234, 0xff01, 0x0080, 0x8000, 0x7fff, 0xabcd,
                                           0x0000, 0xffff, 0x4242, 0x9999, 0x0102, 0xfe00};
    const std::string path = writeTempFile("deep.png", "");
    std::ofstream(path, std::ios::binary) << encodePng16(2, 2, 3, samples);
    StdoutCapture capture;
    const unsigned int name = loadImageTexture(path.c_str());
    EXPECT_EQ(capture.finish(), "");
    ASSERT_EQ(glInt(GL_TEXTURE_BINDING_2D), static_cast<int>(name));
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB);
    std::vector<unsigned char> topFirst;
    for (uint16_t sample : samples) {
        topFirst.push_back(static_cast<unsigned char>(sample >> 8));
    }
    EXPECT_EQ(readLevel(0, GL_RGB, topFirst.size()), flippedRows(topFirst, 2, 2, 3));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
