#include "ibl/ibl.h"

#include "render/gl.h"

unsigned int irradianceMap = 0;
unsigned int prefilterMap = 0;
unsigned int brdfLUTTexture = 0;

void buildLightingMaps(GLFWwindow* window) {
    int width = 0;
    int height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    glViewport(0, 0, width, height);
    glEnable(GL_DEPTH_TEST);
}
