// Title: the logo on a card in the middle of a near-black screen, flat for twelve seconds, then
// turned 45 degrees about a slanted axis that leans further with the arctangent of time after 15.
#include "render/gl.h"
#include "scenes/resources.h"
#include "scenes/scenes.h"

#include <cmath>
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

void drawTitleScene(float demoTime) {
    // The shared tilt follows the arctangent of time once past 15 s; scene 4 picks it up later.
    if (demoTime > 15.0f) {
        tiltValue = std::atan(demoTime);
    }

    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_POLYGON_OFFSET_LINE);
    glPolygonOffset(-15.0f, 20.0f);

    glClearColor(0.021f, 0.01f, 0.012f, 0.7f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // Eye one unit in front of the origin: a translation by (0, 0, -1).
    const glm::mat4 view =
        glm::lookAt(glm::vec3(0.0f, 0.0f, 1.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));

    titleShader.activate();
    glBindVertexArray(cardVAO);

    // Rebuilt from the identity every frame, so tilts never accumulate. The rotation acts in the
    // card's own frame, before the move to depth 0.9.
    glm::mat4 model = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, 1.9f));
    if (demoTime > 12.0f) {
        model = glm::rotate(model, 0.7853982f, glm::vec3(tiltValue, 1.0f, 1.0f));
    }
    // No perspective: the untilted card covers the central half of the screen at any aspect.
    const glm::mat4 projection(1.0f);

    titleShader.setUniformFloat("time", demoTime);
    titleShader.setUniformMat4("view", view);
    titleShader.setUniformMat4("projection", projection);
    titleShader.setUniformMat4("model", model);

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, logoTexture);
    // The card's element buffer is part of its vertex array.
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
}
