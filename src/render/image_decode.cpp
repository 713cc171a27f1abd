#include "render/image_decode.h"

#include "render/gl.h"
#include <climits>
#include <cstdint>
#include <cstring>
#include <stb_image.h>
#include <vector>

unsigned int imageFormatForChannels(int channels) {
    switch (channels) {
    case 1:
        return GL_RED;
    case 2:
        return GL_RG;
    case 3:
        return GL_RGB;
    case 4:
        return GL_RGBA;
    default:
        return 0;
    }
}

ImageUpload planImageUpload(int width, int height, int channels, int maxTextureSize) {
    ImageUpload upload;
    const unsigned int format = imageFormatForChannels(channels);
    if (format == 0 || width < 1 || height < 1 || width > maxTextureSize ||
        height > maxTextureSize) {
        return upload;
    }
    upload.format = format;
    upload.bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                   static_cast<std::size_t>(channels);
    return upload;
}

std::vector<unsigned char> readRestOfFile(std::FILE* file) {
    std::vector<unsigned char> data;
    unsigned char chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        data.insert(data.end(), chunk, chunk + got);
    }
    return data;
}

namespace {
uint32_t bigEndian(const unsigned char* bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           bytes[3];
}

// The demo's pictures are PNGs. stb_image 2.27 as the system ships it overflows a heap buffer on
// a JPEG whose Huffman tables list more than 256 codes (the fuzzer finds one in a minute), and
// its other decoders are no better tried, so only PNG files reach it; and only whole ones: every
// chunk up to the closing IEND must lie inside the file. That refuses a cut-off file before it is
// decoded, and a chunk that claims gigabytes it does not have before stb_image reserves them.
// An empty IDAT chunk is refused too: no encoder writes one, and stb_image copies it into a
// buffer it has not yet allocated (a null pointer, which the fuzzer's sanitizer reports).
bool wholePng(const std::vector<unsigned char>& data) {
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (data.size() < sizeof signature || std::memcmp(data.data(), signature, 8) != 0) {
        return false;
    }
    size_t position = sizeof signature;
    while (data.size() - position >= 12) { // length, type, data, checksum
        const uint32_t length = bigEndian(&data[position]);
        if (length > 0x7fffffffu || data.size() - position - 12 < length) {
            return false;
        }
        if (std::memcmp(&data[position + 4], "IEND", 4) == 0) {
            return true;
        }
        if (length == 0 && std::memcmp(&data[position + 4], "IDAT", 4) == 0) {
            return false;
        }
        position += 12 + static_cast<size_t>(length);
    }
    return false;
}
} // namespace

DecodedImage decodeImage(std::FILE* file, int maxTextureSize) {
    DecodedImage image;
    const std::vector<unsigned char> data = readRestOfFile(file);
    if (!wholePng(data) || data.size() > static_cast<size_t>(INT_MAX)) {
        return image;
    }
    const int length = static_cast<int>(data.size());
    int width = 0;
    int height = 0;
    int channels = 0;
    // Judged from the header before decoding costs memory.
    if (!stbi_info_from_memory(data.data(), length, &width, &height, &channels) ||
        width > maxTextureSize || height > maxTextureSize ||
        static_cast<long long>(width) * height > maxPicturePixels) {
        return image;
    }
    unsigned char* pixels =
        stbi_load_from_memory(data.data(), length, &width, &height, &channels, 0);
    const ImageUpload upload = planImageUpload(width, height, channels, maxTextureSize);
    if (pixels == nullptr || upload.format == 0) {
        stbi_image_free(pixels);
        return image;
    }
    image.pixels = pixels;
    image.width = width;
    image.height = height;
    image.channels = channels;
    image.upload = upload;
    return image;
}
