// Scene 3: eleven flattened copies of the warped two-shape cube, each scaled and turned on top of
// the one before and shifted further along a slanted line, as wireframe, then points, then filled.
#include "render/gl.h"
#include "scenes/cube_trails.h"
#include "scenes/resources.h"
#include "scenes/scenes.h"
#include "schedule/clock.h"

#include <glm/gtc/matrix_transform.hpp>

void drawScene3(float demoTime) {
    // Scene time.
    const float u = demoTime - sceneStart(TimelineScene::Scene3);
    // Wireframe first; primitive restart, thick lines and offset lines from here on.
    if (u < 7.0f) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    }
    glEnable(GL_PRIMITIVE_RESTART);
    glLineWidth(2.5f);
    glClearColor(0.03f, 0.0f, 0.01f, 0.7f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_POLYGON_OFFSET_LINE);
    // Points, then filled. At exactly 7 or 15 the previous frame's mode stays.
    if (u > 7.0f && u < 15.0f) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_POINT);
        glEnable(GL_POLYGON_OFFSET_POINT);
        glEnable(GL_PROGRAM_POINT_SIZE);
    }
    if (u > 15.0f) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }
    glEnable(GL_POLYGON_OFFSET_FILL);

    // The program and the matrices that the trail builds on.
    scene3Shader.activate();
    scene3Shader.setUniformFloat("time", u);
    glm::mat4 model(1.0f);
    glm::mat4 view(1.0f);
    const glm::mat4 projection = glm::perspective(0.7853982f, 1.7777778f, 0.1f, 90.0f);

    // Model and view carry over from copy to copy. Copy 0's scale has z factor 0, so every
    // copy after it lies flat in the plane z = 0.
    for (int k = 0; k < 11; ++k) {
        model = glm::scale(model, scene3Scale(k, u));
        view = glm::translate(view, scene3Step(k));
        model = glm::rotate(model, trailAngle(timerSeconds()), scene3Axis(k));
        scene3Shader.setUniformMat4("model", model);
        scene3Shader.setUniformMat4("view", view);
        scene3Shader.setUniformMat4("projection", projection);
        glBindVertexArray(scene3VAO);
        const PolygonOffset offset = scene3PolygonOffset(k);
        glPolygonOffset(offset.factor, offset.units);
        glDrawArrays(GL_TRIANGLES, 0, 36);
    }
}
