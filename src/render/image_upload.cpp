#include "render/image_upload.h"

#include <epoxy/gl.h>

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
