#include "ibl/capture_math.h"
#include "ibl/capture_passes.h"
#include "ibl/ibl.h"
#include "render/gl.h"
#include "render/meshes.h"
#include "schedule/camera.h"

unsigned int irradianceMap = 0;
unsigned int prefilterMap = 0;
unsigned int brdfLUTTexture = 0;

namespace {
void resizeCaptureDepth(int size) {
    glBindRenderbuffer(GL_RENDERBUFFER, captureRBO);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, size, size);
}
} // namespace

void renderIrradianceMap() {
    allocateCubeMap(irradianceMap, 32, GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, captureFBO);
    resizeCaptureDepth(32);

    irradianceShader.activate();
    irradianceShader.setUniformInt("environmentMap", 0);
    irradianceShader.setUniformMat4("projection", captureProjection);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, envCubemap);

    glViewport(0, 0, 32, 32);
    glBindFramebuffer(GL_FRAMEBUFFER, captureFBO);
    captureFaces(irradianceShader, irradianceMap, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void renderPrefilterMap() {
    allocateCubeMap(prefilterMap, 128, GL_LINEAR_MIPMAP_LINEAR);
    // Allocates levels 1 to 7 before anything is rendered into level 0.
    glGenerateMipmap(GL_TEXTURE_CUBE_MAP);

    prefilterShader.activate();
    prefilterShader.setUniformInt("environmentMap", 0);
    prefilterShader.setUniformMat4("projection", captureProjection);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, envCubemap);

    glBindFramebuffer(GL_FRAMEBUFFER, captureFBO);
    for (int mip = 0; mip < 5; ++mip) {
        const int size = prefilterLevelSize(mip);
        resizeCaptureDepth(size);
        glViewport(0, 0, size, size);
        prefilterShader.setUniformFloat("roughness", prefilterLevelRoughness(mip));
        captureFaces(prefilterShader, prefilterMap, mip);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void renderBrdfLut() {
    if (brdfLUTTexture == 0) {
        glGenTextures(1, &brdfLUTTexture);
    }
    glBindTexture(GL_TEXTURE_2D, brdfLUTTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RG16F, 512, 512, 0, GL_RG, GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

    glBindFramebuffer(GL_FRAMEBUFFER, captureFBO);
    resizeCaptureDepth(512);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, brdfLUTTexture, 0);

    glViewport(0, 0, 512, 512);
    brdfShader.activate();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawQuad();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void setStartUpProjection() {
    const glm::mat4 projection = makeStartUpProjection(globalCamera.fovDegrees);
    pbrShader.activate();
    pbrShader.setUniformMat4("projection", projection);
    backgroundShader.activate();
    backgroundShader.setUniformMat4("projection", projection);
}

void readyLitPrograms(int framebufferWidth, int framebufferHeight) {
    setStartUpProjection();
    glViewport(0, 0, framebufferWidth, framebufferHeight);
    // On for the rest of the run; with GL_LEQUAL it is every scene's depth state.
    glEnable(GL_DEPTH_TEST);
}

void buildLightingMaps(int framebufferWidth, int framebufferHeight) {
    renderIrradianceMap();
    renderPrefilterMap();
    renderBrdfLut();
    readyLitPrograms(framebufferWidth, framebufferHeight);
}
