// Scene 2: fifteen two-shape cubes trailing away to a depth of 42 and back, each turned a little
// further, as smoothed wireframe, then points, then filled, each copy with its own depth offset.
#include "render/gl.h"
#include "scenes/cube_trails.h"
#include "scenes/resources.h"
#include "scenes/scenes.h"
#include "schedule/clock.h"

#include <glm/gtc/matrix_transform.hpp>

namespace {
// Set on the scene's first frame and never cleared.
bool scene2Started = false;
} // namespace

void forgetScene2Start() {
    scene2Started = false;
}

void drawScene2(float demoTime) {
    // Once: start without smoothing and with no offset on lines.
    if (!scene2Started) {
        glDisable(GL_LINE_SMOOTH);
        glDisable(GL_POLYGON_OFFSET_LINE);
        scene2Started = true;
    }
    // Scene time; thick smoothed lines.
    const float local = demoTime - sceneStart(TimelineScene::Scene2);
    glEnable(GL_LINE_SMOOTH);
    glLineWidth(2.5f);
    glClearColor(0.03f, 0.0f, 0.01f, 0.7f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The look by local time; at exactly 9 or 16 the previous frame's mode stays.
    if (local < 9.0f) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    }
    if (local > 9.0f && local < 16.0f) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_POINT);
        glEnable(GL_POLYGON_OFFSET_POINT);
        glEnable(GL_PROGRAM_POINT_SIZE);
    }
    if (local > 16.0f) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }
    glEnable(GL_POLYGON_OFFSET_FILL);

    scene2Shader.activate();
    scene2Shader.setUniformFloat("time", local);
    glm::mat4 model(1.0f);
    glm::mat4 view(1.0f);
    const float bounce = scene2Bounce(local);

    // Model and view carry over: copy i is turned i + 1 times and shifted by the sum of the
    // steps of copies 0 to i.
    const glm::mat4 projection = glm::perspective(1.5707964f, 1.7777778f, 0.001f, 150.0f);
    for (int i = 0; i < 15; ++i) {
        model = glm::rotate(model, trailAngle(timerSeconds()), scene2Axis(i));
        view = glm::translate(view, scene2Step(i, bounce));
        scene2Shader.setUniformMat4("model", model);
        scene2Shader.setUniformMat4("view", view);
        scene2Shader.setUniformMat4("projection", projection);
        const PolygonOffset offset = scene2PolygonOffset(i);
        glPolygonOffset(offset.factor, offset.units);
        glBindVertexArray(scene2VAO);
        glDrawArrays(GL_TRIANGLES, 0, 36);
    }
}
