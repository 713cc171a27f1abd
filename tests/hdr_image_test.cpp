#include "render/hdr_image.h"
#include "support/capture_stdout.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <stb_image.h>
#include <stb_image_write.h>
#include <string>
#include <vector>

namespace {
// Pixel (x, y) of the written picture, y counted from the top as the file stores it.
float written(int x, int y, int channel) {
    return 0.05f * (x + 1) + 0.5f * y + 2.0f * channel;
}

std::string writeSky(const std::string& name, int width, int height) {
    std::vector<float> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.insert(pixels.end(), {written(x, y, 0), written(x, y, 1), written(x, y, 2)});
        }
    }
    const std::string path = writeTempFile(name, "");
    EXPECT_TRUE(stbi_write_hdr(path.c_str(), width, height, 3, pixels.data()));
    return path;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

HdrImage readFile(const std::string& path, int maxSize = 16384) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    EXPECT_NE(file, nullptr) << path;
    if (file == nullptr) {
        return HdrImage{};
    }
    const HdrImage image = readHdrImage(file, maxSize);
    std::fclose(file);
    return image;
}

std::string pngFile(const std::string& name, int channels) {
    const std::vector<unsigned char> pixels(4 * 4 * channels, 77);
    const std::string path = writeTempFile(name, "");
    EXPECT_TRUE(stbi_write_png(path.c_str(), 4, 4, channels, pixels.data(), 4 * channels));
    return path;
}
} // namespace

TEST(HdrImage, RadianceSkiesDecodeToRgbBottomRowFirst) {
    stbi_set_flip_vertically_on_load(true);
    // Run-length coded scanlines (widths 8 to 32767) and flat ones.
    for (const auto& size : {std::pair<int, int>{64, 32}, std::pair<int, int>{5, 3}}) {
        const auto [width, height] = size;
        const HdrImage image = readFile(writeSky("sky.hdr", width, height));
        ASSERT_NE(image.pixels, nullptr) << width;
        EXPECT_EQ(image.width, width);
        EXPECT_EQ(image.height, height);
        // Memory row 0 is the picture's bottom row; RGBE keeps about 1 % precision.
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                for (int c = 0; c < 3; ++c) {
                    const float value = image.pixels[((height - 1 - y) * width + x) * 3 + c];
                    // RGBE shares one exponent: precision follows the brightest channel.
                    EXPECT_NEAR(value, written(x, y, c), 0.01f * written(x, y, 2))
                        << x << "," << y << "," << c;
                }
            }
        }
        stbi_image_free(image.pixels);
    }
}

TEST(HdrImage, TruncatedFilesAreRefusedRatherThanHangingOrFilledWithBlack) {
    for (const auto& size : {std::pair<int, int>{64, 32}, std::pair<int, int>{5, 3}}) {
        const auto [width, height] = size;
        const std::string whole = fileBytes(writeSky("whole.hdr", width, height));
        // Half the file, and every length that stops within the last scanline's pixels.
        std::vector<size_t> lengths = {whole.size() / 2};
        const size_t lastScanline = whole.size() - static_cast<size_t>(width) * 4;
        for (size_t length = lastScanline + 4; length < whole.size(); length += 4) {
            lengths.push_back(length);
        }
        for (size_t length : lengths) {
            const std::string path = writeTempFile("cut.hdr", whole.substr(0, length));
            const HdrImage image = readFile(path);
            EXPECT_EQ(image.pixels, nullptr)
                << width << " wide, " << length << " of " << whole.size() << " bytes";
            stbi_image_free(image.pixels);
        }
    }
}

TEST(HdrImage, ARunCountOfZeroIsRefusedRatherThanDecodedForever) {
    // stb_image alone never returns from such a file.
    std::string sky = fileBytes(writeSky("damaged.hdr", 64, 32));
    const size_t header = sky.find("\n\n");
    ASSERT_NE(header, std::string::npos);
    const size_t firstScanline = sky.find('\n', header + 2) + 1;
    ASSERT_EQ(sky.substr(firstScanline, 2), "\x02\x02");
    // The first count of the third scanline's first plane, same file length.
    size_t position = firstScanline;
    for (int row = 0; row < 2; ++row) {
        position += 4;
        for (int plane = 0; plane < 4; ++plane) {
            for (int filled = 0; filled < 64;) {
                const int count = static_cast<unsigned char>(sky[position]);
                position += count > 128 ? 2 : 1 + count;
                filled += count > 128 ? count - 128 : count;
            }
        }
    }
    sky[position + 4] = '\0';
    const HdrImage image = readFile(writeTempFile("damaged.hdr", sky));
    EXPECT_EQ(image.pixels, nullptr);
    stbi_image_free(image.pixels);
}

TEST(HdrImage, OtherPicturesAndNonPicturesAreRefused) {
    // A one-channel PNG decodes to one float per pixel: uploaded as RGB it would be read three
    // times too far.
    const std::vector<unsigned char> photo(8 * 8 * 3, 120);
    const std::string jpeg = writeTempFile("photo.jpg", "");
    ASSERT_TRUE(stbi_write_jpg(jpeg.c_str(), 8, 8, 3, photo.data(), 90));
    const std::string paths[] = {
        pngFile("grey.png", 1),
        pngFile("grey-alpha.png", 2),
        pngFile("rgb.png", 3),
        jpeg,
        writeTempFile("text.hdr", "#?RADIANCE but then nothing\n"),
        writeTempFile("empty.hdr", ""),
        writeTempFile("header-only.hdr", "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 4 +X 4\n")};
    for (const std::string& path : paths) {
        const HdrImage image = readFile(path);
        EXPECT_EQ(image.pixels, nullptr) << path;
        stbi_image_free(image.pixels);
    }
}

TEST(HdrImage, SkiesLargerThanTheLimitAreRefusedFromTheHeader) {
    const std::string wide = writeSky("wide.hdr", 40000, 2);
    EXPECT_EQ(readFile(wide, 32768).pixels, nullptr);
    const HdrImage fits = readFile(wide, 40000);
    EXPECT_NE(fits.pixels, nullptr);
    stbi_image_free(fits.pixels);

    const std::string tall = writeSky("tall.hdr", 8, 300);
    EXPECT_EQ(readFile(tall, 299).pixels, nullptr);
    const HdrImage tallFits = readFile(tall, 300);
    EXPECT_NE(tallFits.pixels, nullptr);
    stbi_image_free(tallFits.pixels);
}
