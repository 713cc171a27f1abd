// Scene 4: the first greetings card in the middle of the screen, flat for twelve seconds, then
// turned 45 degrees about an axis that swings with the scene time and the shared tilt.
#include "render/gl.h"
#include "scenes/resources.h"
#include "scenes/scenes.h"

#include <cmath>
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

void drawScene4(float demoTime) {
    scene4Shader.activate();
    // Scene 3 leaves primitive restart on, and wireframe or points if its last frame fell in
    // an earlier phase.
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_PRIMITIVE_RESTART);

    const float s = demoTime - sceneStart(TimelineScene::Scene4);
    // The arctangent takes the global time, not the scene time.
    if (s > 15.0f) {
        tiltValue = std::atan(demoTime);
    }

    glEnable(GL_POLYGON_OFFSET_LINE);
    glPolygonOffset(-15.0f, 20.0f);

    glClearColor(0.021f, 0.01f, 0.012f, 0.7f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // Eye one unit in front of the origin: a translation by (0, 0, -1).
    const glm::mat4 view =
        glm::lookAt(glm::vec3(0.0f, 0.0f, 1.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));

    scene4Shader.activate();
    glBindVertexArray(cardVAO);

    // Rebuilt every frame. After a normal title the axis's y component (|tilt - s|, 10 to 14)
    // dominates, so the card turns mostly about the vertical.
    glm::mat4 model = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, 1.9f));
    if (s > 12.0f) {
        model =
            glm::rotate(model, 0.7853982f, glm::vec3(tiltValue, std::fabs(tiltValue - s), 1.0f));
    }
    const glm::mat4 projection(1.0f);

    scene4Shader.setUniformFloat("time", s);
    scene4Shader.setUniformMat4("view", view);
    scene4Shader.setUniformMat4("projection", projection);
    scene4Shader.setUniformMat4("model", model);
    scene4Shader.setUniformInt("texture2", 1);

    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, tarvoGreetsTexture);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
}
