#include "render/image_decode.h"

#include <epoxy/gl.h>
#include <stb_image.h>

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

DecodedImage decodeImage(std::FILE* file, int maxTextureSize) {
    DecodedImage image;
    int width = 0;
    int height = 0;
    int channels = 0;
    // The header is read and the file put back where it was.
    if (stbi_info_from_file(file, &width, &height, &channels) &&
        (width > maxTextureSize || height > maxTextureSize)) {
        return image;
    }
    unsigned char* pixels = stbi_load_from_file(file, &width, &height, &channels, 0);
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
