// Writes a small set of valid pictures of every shape the loaders meet: PNGs of 1 to 4 channels
// with rows of odd lengths, a 16-bit PNG, one wider than any GL texture, a JPEG, a BMP, a TGA,
// a stand-in card image and two Radiance HDR skies (run-length coded and flat). The fuzz seed
// corpus and the bad-input tests are made from them.
// Usage: make_test_images <folder>
#include "support/png16.h"

#include <cstdio>
#include <fstream>
#include <stb_image_write.h>
#include <string>
#include <vector>

namespace {
std::string folder;

std::vector<unsigned char> pattern(int width, int height, int channels) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * channels);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<unsigned char>((i * 37 + i / 7) & 0xff);
    }
    return pixels;
}

bool png(const char* name, int width, int height, int channels) {
    const std::vector<unsigned char> pixels = pattern(width, height, channels);
    return stbi_write_png((folder + "/" + name).c_str(), width, height, channels, pixels.data(),
                          width * channels) != 0;
}

bool png16(const char* name, int width, int height, int channels) {
    std::vector<uint16_t> samples(static_cast<size_t>(width) * height * channels);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<uint16_t>(0x1234 + i * 0x0901);
    }
    std::ofstream out(folder + "/" + name, std::ios::binary);
    out << encodePng16(width, height, channels, samples);
    return static_cast<bool>(out);
}

// A sky: a bright sun on a blue gradient, values above 1 as an HDR image has.
bool hdr(const char* name, int width, int height) {
    std::vector<float> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float up = 1.0f - static_cast<float>(y) / height;
            const float sun = (x == width / 4 && y == height / 4) ? 40.0f : 0.0f;
            pixels.insert(pixels.end(), {0.2f * up + sun, 0.4f * up + sun, 1.2f * up + sun});
        }
    }
    return stbi_write_hdr((folder + "/" + name).c_str(), width, height, 3, pixels.data()) != 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_test_images <folder>\n");
        return 2;
    }
    folder = argv[1];
    const std::vector<unsigned char> photo = pattern(16, 16, 3);
    const bool written =
        png("grey.png", 5, 3, 1) && png("grey-alpha.png", 3, 3, 2) && png("rgb.png", 7, 5, 3) &&
        png("rgba.png", 4, 4, 4) && png("card.png", 256, 256, 4) &&
        png("too-wide.png", 32768, 4, 3) && png16("rgb16.png", 3, 2, 3) &&
        png16("grey-alpha16.png", 5, 1, 2) &&
        stbi_write_jpg((folder + "/photo.jpg").c_str(), 16, 16, 3, photo.data(), 90) &&
        stbi_write_bmp((folder + "/picture.bmp").c_str(), 16, 16, 3, photo.data()) &&
        stbi_write_tga((folder + "/picture.tga").c_str(), 16, 16, 3, photo.data()) &&
        hdr("sky.hdr", 64, 32) && hdr("sky-flat.hdr", 4, 2);
    if (!written) {
        std::fprintf(stderr, "make_test_images: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
