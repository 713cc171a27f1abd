#include "demo/startup.h"

#include "ibl/ibl.h"
#include "render/gl.h"
#include "scenes/resources.h"

void runStartUp(int framebufferWidth, int framebufferHeight) {
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    captureEnvironment();
    buildLightingMaps(framebufferWidth, framebufferHeight);
    createSceneResources();
}
