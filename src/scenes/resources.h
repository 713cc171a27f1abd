#pragma once
#include "render/shader.h"

// Everything the first six scenes draw with, created once before the first frame.
extern Shader titleShader;
extern Shader scene2Shader;
extern Shader scene3Shader;
extern Shader scene4Shader;
extern Shader scene5Shader;
extern Shader scene6Shader;

extern unsigned int spareCubeVAO, spareCubeVBOa, spareCubeVBOb;
extern unsigned int cardVAO, cardVBO, cardEBO;
extern unsigned int scene2VAO, scene2VBOa, scene2VBOb;
extern unsigned int scene3VAO, scene3VBOa, scene3VBOb;

extern unsigned int logoTexture;
extern unsigned int tarvoGreetsTexture;
extern unsigned int greetsTexture;

// Shared by the title and scene 4; keeps its value across frames and scenes.
extern float tiltValue;

void createSceneResources();
// The sampler units of the title and scene 4 programs, which createSceneResources sets once.
void setSceneSamplerUnits();
// The window-close exit deletes only the spare cube's vertex array and first buffer.
void deleteSpareCube();
