#include "render/texture.h"

#include "render/gl.h"
#include "render/image_upload.h"

#include <iostream>
#include <stb_image.h>

unsigned int loadImageTexture(const char* path) {
    unsigned int textureId = 0;
    glGenTextures(1, &textureId);

    stbi_set_flip_vertically_on_load(true);
    GLint maxTextureSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    int width = 0;
    int height = 0;
    int channels = 0;
    // A picture larger than GL can hold is refused from its header, before it costs memory.
    unsigned char* pixels = nullptr;
    if (!stbi_info(path, &width, &height, &channels) ||
        (width <= maxTextureSize && height <= maxTextureSize)) {
        pixels = stbi_load(path, &width, &height, &channels, 0);
    }
    const ImageUpload upload = planImageUpload(width, height, channels, maxTextureSize);
    if (pixels == nullptr || upload.format == 0) {
        std::cout << "Texture failed to load at path: " << path << std::endl;
        stbi_image_free(pixels);
        return textureId;
    }

    glBindTexture(GL_TEXTURE_2D, textureId);
    // Rows of 1-, 2- and 3-channel images need not be a multiple of four bytes long.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, upload.format, width, height, 0, upload.format, GL_UNSIGNED_BYTE,
                 pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    stbi_image_free(pixels);
    return textureId;
}
