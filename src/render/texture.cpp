#include "render/texture.h"

#include "base/data_file.h"
#include "render/gl.h"
#include "render/image_decode.h"
#include "render/startup_failures.h"

#include <cstdio>
#include <iostream>
#include <stb_image.h>

unsigned int loadImageTexture(const char* path) {
    unsigned int textureId = 0;
    glGenTextures(1, &textureId);
    loadImageInto(textureId, path);
    return textureId;
}

bool loadImageInto(unsigned int textureId, const char* path) {
    stbi_set_flip_vertically_on_load(true);
    GLint maxTextureSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    DecodedImage image;
    if (std::FILE* file = openDataFile(path, maxPictureFileBytes)) {
        image = decodeImage(file, maxTextureSize);
        std::fclose(file);
    }
    if (image.pixels == nullptr) {
        std::cout << "Texture failed to load at path: " << path << std::endl;
        countStartUpFailure();
        return false;
    }

    const GLenum format = image.upload.format;
    glBindTexture(GL_TEXTURE_2D, textureId);
    // Rows of 1-, 2- and 3-channel images need not be a multiple of four bytes long.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, format, image.width, image.height, 0, format, GL_UNSIGNED_BYTE,
                 image.pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    stbi_image_free(image.pixels);
    return true;
}
