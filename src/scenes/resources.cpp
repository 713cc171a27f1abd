#include "scenes/resources.h"

#include "render/gl.h"

Shader titleShader;
Shader scene2Shader;
Shader scene3Shader;
Shader scene4Shader;
Shader scene5Shader;
Shader scene6Shader;

unsigned int spareCubeVAO = 0, spareCubeVBOa = 0, spareCubeVBOb = 0;
unsigned int cardVAO = 0, cardVBO = 0, cardEBO = 0;
unsigned int scene2VAO = 0, scene2VBOa = 0, scene2VBOb = 0;
unsigned int scene3VAO = 0, scene3VBOa = 0, scene3VBOb = 0;

unsigned int logoTexture = 0;
unsigned int tarvoGreetsTexture = 0;
unsigned int greetsTexture = 0;

float tiltValue = 0.0f;

void createSceneResources() {}

void deleteSpareCube() {
    glDeleteVertexArrays(1, &spareCubeVAO);
    glDeleteBuffers(1, &spareCubeVBOa);
}
