#include "render/hdr_image.h"
#include "render/image_decode.h"

#include <climits>
#include <stb_image.h>
#include <vector>

namespace {
// Reads bytes the way stb_image's memory reader does: zero once the data has run out.
struct Bytes {
    const std::vector<unsigned char>& data;
    size_t position = 0;

    bool atEnd() const { return position >= data.size(); }
    int next() { return atEnd() ? 0 : data[position++]; }
    size_t left() const { return atEnd() ? 0 : data.size() - position; }
};

// Skips one header line exactly as stb_image's token reader does (it stops without taking the
// newline when the data ends, and keeps at most 1023 characters) and tells whether the line
// counts as empty: the reader compares a zero-terminated copy, so a line that starts with a
// zero byte is empty too.
bool skipHeaderLine(Bytes& bytes) {
    int c = bytes.next();
    int length = 0;
    int first = 0;
    while (!bytes.atEnd() && c != '\n') {
        if (length == 0) {
            first = c;
        }
        ++length;
        if (length == 1023) { // the reader's buffer is full: the rest of the line is skipped
            while (!bytes.atEnd() && bytes.next() != '\n') {
            }
            break;
        }
        c = bytes.next();
    }
    return length == 0 || first == 0;
}

// stb_image 2.27 decodes a run-length count of 0 by looping forever, and past the end of the
// data every count it reads is 0: a cut-off or damaged sky would hang the start-up. So the
// pixel data is walked first, along the very path the decoder takes, and the sky is accepted
// only when every scanline is complete and well formed.
bool pixelDataComplete(const std::vector<unsigned char>& data, int width, int height) {
    Bytes bytes{data};
    while (!skipHeaderLine(bytes)) { // the identifier and the variables, up to an empty line
    }
    skipHeaderLine(bytes); // the resolution line, "-Y height +X width"

    const size_t flatBytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    if (width < 8 || width >= 32768) { // such widths are stored flat: four bytes a pixel
        return bytes.left() >= flatBytes;
    }
    for (int row = 0; row < height; ++row) {
        if (bytes.left() < 4) {
            return false;
        }
        const size_t rowStart = bytes.position;
        const int c1 = bytes.next();
        const int c2 = bytes.next();
        const int lengthHigh = bytes.next();
        if (c1 != 2 || c2 != 2 || (lengthHigh & 0x80)) {
            // An old-style scanline: the decoder reads the whole picture flat from here on.
            bytes.position = rowStart;
            return bytes.left() >= flatBytes;
        }
        if (((lengthHigh << 8) | bytes.next()) != width) {
            return false;
        }
        // Four channel planes, each a sequence of runs and literal stretches.
        for (int channel = 0; channel < 4; ++channel) {
            int filled = 0;
            while (filled < width) {
                if (bytes.atEnd()) {
                    return false;
                }
                int count = bytes.next();
                size_t literalBytes = 0;
                if (count > 128) {
                    count -= 128;
                    literalBytes = 1; // the run's value
                } else {
                    literalBytes = static_cast<size_t>(count);
                }
                if (count == 0 || count > width - filled || bytes.left() < literalBytes) {
                    return false;
                }
                bytes.position += literalBytes;
                filled += count;
            }
        }
    }
    return true;
}
} // namespace

HdrImage readHdrImage(std::FILE* file, int maxSize) {
    HdrImage image;
    // Judged from the header first (stb_image puts the file position back afterwards).
    int width = 0;
    int height = 0;
    int channels = 0;
    if (!stbi_is_hdr_from_file(file) || !stbi_info_from_file(file, &width, &height, &channels) ||
        width < 1 || height < 1 || width > maxSize || height > maxSize ||
        static_cast<long long>(width) * height > maxPicturePixels) {
        return image;
    }
    const std::vector<unsigned char> data = readRestOfFile(file);
    if (data.size() > static_cast<size_t>(INT_MAX) || !pixelDataComplete(data, width, height)) {
        return image;
    }
    float* pixels = stbi_loadf_from_memory(data.data(), static_cast<int>(data.size()), &width,
                                           &height, &channels, 0);
    if (pixels == nullptr || channels != 3) {
        stbi_image_free(pixels);
        return image;
    }
    image.pixels = pixels;
    image.width = width;
    image.height = height;
    return image;
}
