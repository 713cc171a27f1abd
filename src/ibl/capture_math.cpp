#include "ibl/capture_math.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

glm::mat4 makeCaptureProjection() {
    return glm::perspective(glm::radians(90.0f), 1.0f, 0.1f, 10.0f);
}

std::array<glm::mat4, 6> makeCaptureViews() {
    const glm::vec3 eye(0.0f);
    return {glm::lookAt(eye, glm::vec3(1.0f, 0.0f, 0.0f), glm::vec3(0.0f, -1.0f, 0.0f)),
            glm::lookAt(eye, glm::vec3(-1.0f, 0.0f, 0.0f), glm::vec3(0.0f, -1.0f, 0.0f)),
            glm::lookAt(eye, glm::vec3(0.0f, 1.0f, 0.0f), glm::vec3(0.0f, 0.0f, 1.0f)),
            glm::lookAt(eye, glm::vec3(0.0f, -1.0f, 0.0f), glm::vec3(0.0f, 0.0f, -1.0f)),
            glm::lookAt(eye, glm::vec3(0.0f, 0.0f, 1.0f), glm::vec3(0.0f, -1.0f, 0.0f)),
            glm::lookAt(eye, glm::vec3(0.0f, 0.0f, -1.0f), glm::vec3(0.0f, -1.0f, 0.0f))};
}

glm::mat4 makeStartUpProjection(float fovDegrees) {
    return glm::perspective(fovDegrees * 0.017453292f, 1.7777778f, 0.1f, 100.0f);
}

int prefilterLevelSize(int mip) {
    return static_cast<int>(128.0 * std::pow(0.5, mip));
}

float prefilterLevelRoughness(int mip) {
    return static_cast<float>(mip) * 0.25f;
}
