#pragma once
#include <cstdio>

// An equirectangular sky decoded from a Radiance HDR file: three floats (RGB) per pixel, rows
// bottom first while stb_image's flip on load is on. pixels is null when the file is refused;
// free them with stbi_image_free.
struct HdrImage {
    float* pixels = nullptr;
    int width = 0;
    int height = 0;
};

// Decodes an open Radiance HDR file, refusing (pixels null):
// - anything else: stb_image would decode a PNG or JPEG to floats of the file's own channel
//   count, and an upload that declares RGB would read past the end of a one- or two-channel
//   picture;
// - a file that ends before its last scanline, which stb_image fills with black and reports as
//   a success;
// - a picture wider or taller than maxSize (GL's largest texture), or of more pixels than
//   maxPicturePixels (image_decode.h), judged from the header before any pixel is decoded.
HdrImage readHdrImage(std::FILE* file, int maxSize);
