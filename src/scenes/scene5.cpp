// Scene 5: two groups of stretched, turned spheres on green, fifteen and eleven, moving with the
// beat counter and the cosine of the scene time, each seen through a field of view of its own.
#include "render/gl.h"
#include "render/meshes.h"
#include "scenes/resources.h"
#include "scenes/scenes.h"
#include "scenes/sphere_groups.h"

#include <cmath>

namespace {
void drawPose(const SpherePose& pose, const glm::mat4& view) {
    scene5Shader.setUniformMat4("projection", pose.projection);
    scene5Shader.setUniformMat4("model", pose.model);
    scene5Shader.setUniformMat4("view", view);
    drawSphere();
}
} // namespace

void drawScene5(float demoTime) {
    // Scene time and the beat counter.
    const float v = demoTime - sceneStart(TimelineScene::Scene5);
    const float b = scene5Beat(v);
    // Green, cleared each frame.
    glClearColor(0.2f, 0.7f, 0.113f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Filled, set during the first nine seconds and kept after; polygon offset and its enables
    // stay as the scene before left them.
    if (v < 9.0f) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }
    scene5Shader.activate();
    scene5Shader.setUniformFloat("time", v);
    scene5Shader.setUniformFloat("color", std::cos(v));
    const glm::mat4 view = scene5View();
    // The two groups, each sphere with its own projection. Sphere l = 0 has non-finite matrices
    // and is drawn all the same.
    for (int k = 0; k < 15; ++k) {
        drawPose(scene5FirstSphere(k, v, b), view);
    }
    for (int l = 0; l < 11; ++l) {
        drawPose(scene5SecondSphere(l, v, b), view);
    }
}
