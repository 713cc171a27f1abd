// Any bytes as an image file, through the texture loader's decoding and upload planning: no
// crash, no read outside the pixels, and an upload that matches what was decoded.
#include "render/image_decode.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <epoxy/gl.h>
#include <stb_image.h>

namespace {
// Any limit takes the same paths; a small one keeps each run's memory small.
const int maxTextureSize = 2048;
// Kept so that the reads of every pixel cannot be optimised away.
volatile unsigned readBack;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    stbi_set_flip_vertically_on_load(size % 2 == 0);
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (file == nullptr) {
        return 0;
    }
    const DecodedImage image = decodeImage(file, maxTextureSize);
    std::fclose(file);
    if (image.pixels == nullptr) {
        return 0;
    }
    const bool consistent =
        image.width >= 1 && image.height >= 1 && image.width <= maxTextureSize &&
        image.height <= maxTextureSize && image.upload.format != 0 &&
        image.upload.format == imageFormatForChannels(image.channels) &&
        image.upload.bytes == static_cast<size_t>(image.width) * image.height * image.channels;
    if (!consistent) {
        std::abort();
    }
    // Every byte glTexImage2D would read (rows packed, unpack alignment 1): out of bounds
    // would be caught here.
    unsigned sum = 0;
    for (size_t i = 0; i < image.upload.bytes; ++i) {
        sum += image.pixels[i];
    }
    readBack = sum;
    stbi_image_free(image.pixels);
    return 0;
}
