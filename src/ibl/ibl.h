#pragma once
#include "render/shader.h"

#include <array>
#include <glm/glm.hpp>

// The finale's programs and the precompute's: built once by captureEnvironment.
extern Shader pbrShader;
extern Shader equirectToCubemapShader;
extern Shader irradianceShader;
extern Shader prefilterShader;
extern Shader brdfShader;
extern Shader backgroundShader;

// The capture framebuffer every precompute pass renders into, and its depth renderbuffer.
extern unsigned int captureFBO;
extern unsigned int captureRBO;

// Every capture pass renders through this projection and these six face views (capture_math.h).
extern glm::mat4 captureProjection;
extern std::array<glm::mat4, 6> captureViews;

// 0 until the HDR image has been uploaded; it stays 0 when the image cannot be read.
extern unsigned int hdrTexture;
extern unsigned int envCubemap;     // cube, 512 per face, mipmapped
extern unsigned int irradianceMap;  // cube, 32 per face
extern unsigned int prefilterMap;   // cube, 128 per face, roughness 0..1 in levels 0..4
extern unsigned int brdfLUTTexture; // 2D, 512 x 512, two channels

// Renders the equirectangular HDR sky into envCubemap.
void captureEnvironment();

// The steps of captureEnvironment that edit mode runs again on their own: the lit programs'
// constant sampler units and material values; the sky picture into hdrTexture (made on the first
// call, filled again in place after that; a picture that cannot be read is reported and leaves
// the texture as it was); the sky into envCubemap and its mipmaps.
void setLitProgramConstants();
void loadSkyImage();
void renderEnvironmentCubemap();
// Renders irradianceMap, prefilterMap and brdfLUTTexture from envCubemap, then readies the
// lit programs, the viewport (covering a framebuffer of this size) and depth testing for the
// frame loop.
void buildLightingMaps(int framebufferWidth, int framebufferHeight);

// The four steps of buildLightingMaps, in the order it runs them; exposed so that the start-up
// benchmark can time each pass on its own.
void renderIrradianceMap();
void renderPrefilterMap();
void renderBrdfLut();
void readyLitPrograms(int framebufferWidth, int framebufferHeight);
// The start-up projection of pbrShader and backgroundShader (the first step of readyLitPrograms).
void setStartUpProjection();
