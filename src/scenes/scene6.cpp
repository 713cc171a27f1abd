// Scene 6: the second greetings card, flat and still in the middle of the screen for all of its
// seventeen seconds; the shader alone animates it from the scene time.
#include "render/gl.h"
#include "scenes/resources.h"
#include "scenes/scenes.h"

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

void drawScene6(float demoTime) {
    scene6Shader.activate();
    const float s = demoTime - sceneStart(TimelineScene::Scene6);

    glEnable(GL_LINE_SMOOTH);

    glClearColor(0.021f, 0.01f, 0.012f, 0.7f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // Eye one unit in front of the origin: a translation by (0, 0, -1).
    const glm::mat4 view =
        glm::lookAt(glm::vec3(0.0f, 0.0f, 1.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));

    glBindVertexArray(cardVAO);

    const glm::mat4 model = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, 1.9f));
    const glm::mat4 projection(1.0f);

    scene6Shader.setUniformFloat("time", s);
    scene6Shader.setUniformMat4("view", view);
    scene6Shader.setUniformMat4("projection", projection);
    scene6Shader.setUniformMat4("model", model);

    // The program's sampler was never assigned, so it reads unit 0.
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, greetsTexture);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
}
