#pragma once
#include <cstddef>
#include <cstdio>
#include <vector>

// Limits on a picture from the data folder, judged before it is read or decoded: the demo's own
// are 1920x1080 and 1024x512, a few megabytes each. At most as many pixels as 8192 x 8192 (a
// quarter of a gigabyte decoded, at four bytes a pixel); each side at most GL's largest texture.
constexpr long long maxPictureFileBytes = 64ll << 20;
constexpr long long maxPicturePixels = 8192ll * 8192;

// How an 8-bit image decoded by stb_image goes to GL, worked out without a context so that the
// loader, its tests and the fuzz harness all judge a picture by the same rules.
struct ImageUpload {
    unsigned int format = 0; // GL_RED, GL_RG, GL_RGB or GL_RGBA; 0 when GL cannot take it
    std::size_t bytes = 0;   // what glTexImage2D reads from the pixels, rows tightly packed
};

// GL format for an 8-bit image of the given channel count: grey in red, grey and alpha in red
// and green, RGB, RGBA; 0 for any other count.
unsigned int imageFormatForChannels(int channels);

// The upload of a decoded image, or format 0 when it has no usable size or channel count, or is
// wider or taller than the driver's largest texture (GL would refuse it and leave the texture
// empty while the load looked successful).
ImageUpload planImageUpload(int width, int height, int channels, int maxTextureSize);

// An image file decoded with the channel count stored in it, rows flipped when stb_image's flip
// on load is on. pixels is null when the file is refused; free them with stbi_image_free.
struct DecodedImage {
    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    int channels = 0;
    ImageUpload upload;
};

// Decodes an open PNG file of 1 to 4 channels (16-bit ones come back reduced to 8 bits); any
// other kind of file is refused, since the system's stb_image cannot safely decode them all. A
// picture larger than maxTextureSize either way, or of more than maxPicturePixels, is refused
// from its header, before decoding it costs memory.
DecodedImage decodeImage(std::FILE* file, int maxTextureSize);

// The bytes of an open file from its position to its end; the decoders work on the whole file in
// memory.
std::vector<unsigned char> readRestOfFile(std::FILE* file);
