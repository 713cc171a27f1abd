#include "support/png16.h"

#include <zlib.h>

namespace {
void appendBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xff));
    }
}

void appendChunk(std::string& out, const char* type, const std::string& data) {
    appendBigEndian(out, static_cast<uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    appendBigEndian(out, static_cast<uint32_t>(
                             crc32(0, reinterpret_cast<const Bytef*>(typed.data()), typed.size())));
}
} // namespace

std::string encodePng16(int width, int height, int channels, const std::vector<uint16_t>& samples) {
    // Colour types by channel count: grey, grey + alpha, RGB, RGBA.
    const char colourType[] = {0, 4, 2, 6};
    std::string header;
    appendBigEndian(header, static_cast<uint32_t>(width));
    appendBigEndian(header, static_cast<uint32_t>(height));
    header += std::string{16, colourType[channels - 1], 0, 0, 0};

    // Each row: filter type 0, then the samples big-endian.
    std::string raw;
    size_t next = 0;
    for (int row = 0; row < height; ++row) {
        raw.push_back(0);
        for (int i = 0; i < width * channels; ++i, ++next) {
            raw.push_back(static_cast<char>(samples[next] >> 8));
            raw.push_back(static_cast<char>(samples[next] & 0xff));
        }
    }
    uLongf packedSize = compressBound(raw.size());
    std::string packed(packedSize, '\0');
    compress2(reinterpret_cast<Bytef*>(&packed[0]), &packedSize,
              reinterpret_cast<const Bytef*>(raw.data()), raw.size(), 0);
    packed.resize(packedSize);

    std::string png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", packed);
    appendChunk(png, "IEND", "");
    return png;
}
