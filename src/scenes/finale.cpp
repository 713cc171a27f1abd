// PBR finale (129 to 164 s): grids of red spheres under four moving point lights and the HDR sky,
// in three sub-windows with their own layouts and cameras, then the lights' markers and the sky.
#include "ibl/ibl.h"
#include "render/gl.h"
#include "render/meshes.h"
#include "scenes/finale_layout.h"
#include "scenes/scenes.h"
#include "schedule/camera.h"

#include <glm/gtc/matrix_transform.hpp>
#include <string>

void drawFinale(float demoTime) {
    // Earlier scenes leave polygon offset and line or point modes behind.
    glPolygonOffset(0.0f, 0.0f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);

    glm::mat4 view(1.0f);
    const FinaleFrame frame = finaleFrameAt(demoTime);
    const FinaleLights lights = finaleLights();

    glClearColor(0.1f, 0.3f, 0.4f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // The grid of this sub-window; at exactly 12 or 22 s none is drawn.
    if (frame.window != FinaleWindow::None) {
        pbrShader.activate();
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        view = glm::lookAt(finaleEye(frame), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
        const Camera camera(finaleCamPos(frame.window), glm::vec3(0.0f, 1.0f, 0.0f), -90.0f, 0.0f);

        pbrShader.setUniformMat4("view", view);
        if (frame.window == FinaleWindow::Late) {
            // Stays set for the rest of the run; the background keeps the start-up one.
            pbrShader.setUniformMat4("projection", finaleLateProjection());
        }
        pbrShader.setUniformVec3("camPos", camera.position);
        pbrShader.setUniformFloat("time", frame.s);

        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_CUBE_MAP, irradianceMap);
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_CUBE_MAP, prefilterMap);
        glActiveTexture(GL_TEXTURE2);
        glBindTexture(GL_TEXTURE_2D, brdfLUTTexture);

        const FinaleGridShape grid = finaleGridShape(frame.window);
        for (int row = 0; row < grid.rows; ++row) {
            pbrShader.setUniformFloat("metallic", finaleMetallic(frame, row));
            for (int column = 0; column < grid.columns; ++column) {
                pbrShader.setUniformFloat("roughness", finaleRoughness(frame));
                pbrShader.setUniformMat4("model", finaleSphereModel(frame, row, column));
                drawSphere();
            }
        }
    }

    // Markers at the lights, drawn with whatever program is current: pbrShader after a grid, the
    // background program of the frame before at exactly 12 or 22 s. The grid above was
    // therefore lit by the light values of the previous frame.
    for (int i = 0; i < 4; ++i) {
        const std::string index = std::to_string(i);
        pbrShader.setUniformVec3("lightPositions[" + index + "]", lights.positions[i]);
        pbrShader.setUniformVec3("lightColors[" + index + "]", lights.colors[i]);
        glm::mat4 model = glm::translate(glm::mat4(1.0f), lights.positions[i]);
        model = glm::scale(model, glm::vec3(0.5f));
        pbrShader.setUniformMat4("model", model);
        drawLightSphere();
    }

    // The sky last, at the far plane, with this frame's view and the start-up projection.
    backgroundShader.activate();
    backgroundShader.setUniformMat4("view", view);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, envCubemap);
    drawCube();
}
