#include "ibl/ibl.h"

#include "render/gl.h"

Shader pbrShader;
Shader equirectToCubemapShader;
Shader irradianceShader;
Shader prefilterShader;
Shader brdfShader;
Shader backgroundShader;
unsigned int captureFBO = 0;
unsigned int captureRBO = 0;
unsigned int hdrTexture = 0;
unsigned int envCubemap = 0;

void captureEnvironment() {}
