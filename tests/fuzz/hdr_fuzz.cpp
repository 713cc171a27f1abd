// Any bytes as the HDR sky file, through the sky's decoding: no crash, no hang, and pixels that
// hold the three floats per texel the RGB float upload reads.
#include "render/hdr_image.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stb_image.h>

namespace {
const int maxTextureSize = 2048;
// Kept so that the reads of every pixel cannot be optimised away.
volatile float readBack;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    stbi_set_flip_vertically_on_load(true);
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (file == nullptr) {
        return 0;
    }
    const HdrImage image = readHdrImage(file, maxTextureSize);
    std::fclose(file);
    if (image.pixels == nullptr) {
        return 0;
    }
    if (image.width < 1 || image.height < 1 || image.width > maxTextureSize ||
        image.height > maxTextureSize) {
        std::abort();
    }
    // The upload declares GL_RGB floats: three a texel, every one of them read.
    const size_t floats = static_cast<size_t>(image.width) * image.height * 3;
    float sum = 0.0f;
    for (size_t i = 0; i < floats; ++i) {
        sum += image.pixels[i];
    }
    readBack = sum;
    stbi_image_free(image.pixels);
    return 0;
}
