#include "scenes/resources.h"

#include "render/gl.h"
#include "render/texture.h"
#include "scenes/vertex_tables.h"
#include "schedule/schedule.h"

#include <iterator>
#include <utility>

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

namespace {
// Shape A (position, colour) at locations 0 and 1 from the first buffer, shape B at 2 and 3
// from the second: the vertex shader sees both shapes at once, vertex by vertex.
void buildTwoShapeCube(unsigned int& vao, unsigned int& vboA, unsigned int& vboB,
                       const CubeTable& shapeA, const CubeTable& shapeB) {
    const GLsizei stride = 6 * sizeof(float);
    const GLsizeiptr bytes = cubeTableFloats * sizeof(float);
    glGenVertexArrays(1, &vao);
    glGenBuffers(1, &vboA);
    glGenBuffers(1, &vboB);
    glBindVertexArray(vao);
    const std::pair<unsigned int, const CubeTable*> shapes[] = {{vboA, &shapeA}, {vboB, &shapeB}};
    for (int shape = 0; shape < 2; ++shape) {
        const auto [buffer, table] = shapes[shape];
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glBufferData(GL_ARRAY_BUFFER, bytes, table->data(), GL_STATIC_DRAW);
        glVertexAttribPointer(2 * shape, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(0));
        glEnableVertexAttribArray(2 * shape);
        glVertexAttribPointer(2 * shape + 1, 3, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<void*>(3 * sizeof(float)));
        glEnableVertexAttribArray(2 * shape + 1);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void buildCard() {
    const GLsizei stride = 8 * sizeof(float);
    glGenVertexArrays(1, &cardVAO);
    glGenBuffers(1, &cardVBO);
    glGenBuffers(1, &cardEBO);
    glBindVertexArray(cardVAO);
    glBindBuffer(GL_ARRAY_BUFFER, cardVBO);
    glBufferData(GL_ARRAY_BUFFER, sizeof(cardTable), cardTable, GL_STATIC_DRAW);
    // The element buffer binding is part of the vertex array's state: draws need no rebind.
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, cardEBO);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(cardIndices), cardIndices, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(0));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(3 * sizeof(float)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(6 * sizeof(float)));
    glEnableVertexAttribArray(2);
}
} // namespace

void createSceneResources() {
    Shader* const programs[] = {&titleShader,  &scene2Shader, &scene3Shader,
                                &scene4Shader, &scene5Shader, &scene6Shader};
    for (size_t i = 0; i < std::size(programs); ++i) {
        *programs[i] = Shader(sceneProgramFiles[i].vertex, sceneProgramFiles[i].fragment);
    }

    buildTwoShapeCube(spareCubeVAO, spareCubeVBOa, spareCubeVBOb, warpedCubeTable,
                      warpedSplitCubeTable);
    buildCard();

    logoTexture = loadImageTexture(scenePictures[0]);
    tarvoGreetsTexture = loadImageTexture(scenePictures[1]);
    greetsTexture = loadImageTexture(scenePictures[2]);

    setSceneSamplerUnits();

    buildTwoShapeCube(scene2VAO, scene2VBOa, scene2VBOb, plainCubeTable, splitCubeTable);
    buildTwoShapeCube(scene3VAO, scene3VBOa, scene3VBOb, warpedCubeTable, warpedSplitCubeTable);

    tiltValue = 0.0f;
}

void setSceneSamplerUnits() {
    // Scene 6 reads unit 0 through its sampler's default value. No program declares a third
    // sampler "texture3", so no assignment is made for one.
    titleShader.activate();
    titleShader.setUniformInt("texture1", 0);
    scene4Shader.activate();
    scene4Shader.setUniformInt("texture2", 1);
}

void deleteSpareCube() {
    glDeleteVertexArrays(1, &spareCubeVAO);
    glDeleteBuffers(1, &spareCubeVBOa);
}
