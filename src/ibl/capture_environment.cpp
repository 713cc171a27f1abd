#include "base/data_file.h"
#include "ibl/capture_math.h"
#include "ibl/capture_passes.h"
#include "ibl/ibl.h"
#include "render/gl.h"
#include "render/hdr_image.h"
#include "render/image_decode.h"
#include "render/meshes.h"
#include "render/startup_failures.h"
#include "schedule/schedule.h"

#include <cstdio>
#include <iostream>
#include <iterator>
#include <stb_image.h>

Shader pbrShader;
Shader equirectToCubemapShader;
Shader irradianceShader;
Shader prefilterShader;
Shader brdfShader;
Shader backgroundShader;
unsigned int captureFBO = 0;
unsigned int captureRBO = 0;
glm::mat4 captureProjection(1.0f);
std::array<glm::mat4, 6> captureViews;
unsigned int hdrTexture = 0;
unsigned int envCubemap = 0;

void captureEnvironment() {
    Shader* const programs[] = {&pbrShader,        &equirectToCubemapShader,
                                &irradianceShader, &prefilterShader,
                                &brdfShader,       &backgroundShader};
    for (size_t i = 0; i < std::size(programs); ++i) {
        *programs[i] = Shader(litProgramFiles[i].vertex, litProgramFiles[i].fragment);
    }

    setLitProgramConstants();

    // The framebuffer every capture pass renders into; its depth buffer is re-sized per pass.
    glGenFramebuffers(1, &captureFBO);
    glGenRenderbuffers(1, &captureRBO);
    glBindFramebuffer(GL_FRAMEBUFFER, captureFBO);
    glBindRenderbuffer(GL_RENDERBUFFER, captureRBO);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, 512, 512);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, captureRBO);

    loadSkyImage();
    captureProjection = makeCaptureProjection();
    captureViews = makeCaptureViews();
    renderEnvironmentCubemap();
}

void setLitProgramConstants() {
    // Sampler units and material constants: set once, never again.
    pbrShader.activate();
    pbrShader.setUniformInt("irradianceMap", 0);
    pbrShader.setUniformInt("prefilterMap", 1);
    pbrShader.setUniformInt("brdfLUT", 2);
    pbrShader.setUniformVec3("albedo", 0.5f, 0.0f, 0.0f);
    pbrShader.setUniformFloat("ao", 1.0f);
    backgroundShader.activate();
    backgroundShader.setUniformInt("environmentMap", 0);
}

void loadSkyImage() {
    // The equirectangular sky, bottom row first so that the top of the picture lies at v = 1.
    // Only a complete Radiance picture that GL can hold is taken (readHdrImage says why the
    // rest are refused). On failure hdrTexture stays 0: the capture below then samples texture
    // 0, which reads as black, and the demo goes on with a black sky.
    stbi_set_flip_vertically_on_load(true);
    HdrImage sky;
    if (std::FILE* file = openDataFile(skyPicture, maxPictureFileBytes)) {
        GLint maxSize = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
        sky = readHdrImage(file, maxSize);
        std::fclose(file);
    }
    if (sky.pixels != nullptr) {
        if (hdrTexture == 0) {
            glGenTextures(1, &hdrTexture);
        }
        glBindTexture(GL_TEXTURE_2D, hdrTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16F, sky.width, sky.height, 0, GL_RGB, GL_FLOAT,
                     sky.pixels);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        stbi_image_free(sky.pixels);
    } else {
        std::cout << "failure load image hdr." << std::endl;
        countStartUpFailure();
    }
}

void renderEnvironmentCubemap() {
    allocateCubeMap(envCubemap, 512, GL_LINEAR_MIPMAP_LINEAR);

    // Six 90-degree views from the centre of the unit cube: one face each.
    equirectToCubemapShader.activate();
    equirectToCubemapShader.setUniformInt("equirectangularMap", 0);
    equirectToCubemapShader.setUniformMat4("projection", captureProjection);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, hdrTexture);
    glViewport(0, 0, 512, 512);
    glBindFramebuffer(GL_FRAMEBUFFER, captureFBO);
    captureFaces(equirectToCubemapShader, envCubemap, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    // The pre-filter picks coarser levels for sparser samples, so the chain must exist.
    glBindTexture(GL_TEXTURE_CUBE_MAP, envCubemap);
    glGenerateMipmap(GL_TEXTURE_CUBE_MAP);
}
