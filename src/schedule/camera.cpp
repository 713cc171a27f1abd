#include "schedule/camera.h"

#include <cmath>

namespace {
constexpr float degreesToRadians = 0.017453292f;

glm::vec3 normalised(glm::vec3 v) {
    // Multiplication by the reciprocal of the length, in single precision.
    return v * (1.0f / std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z));
}
} // namespace

Camera::Camera(glm::vec3 position, glm::vec3 worldUp, float yaw, float pitch)
    : position(position), front(0.0f, 0.0f, -1.0f), up(0.0f), right(0.0f), worldUp(worldUp),
      yaw(yaw), pitch(pitch), moveSpeed(2.5f), sensitivity(0.1f), fovDegrees(45.0f) {
    updateBasis();
}

void Camera::updateBasis() {
    const float yawRadians = yaw * degreesToRadians;
    const float pitchRadians = pitch * degreesToRadians;
    const glm::vec3 f(std::cos(yawRadians) * std::cos(pitchRadians), std::sin(pitchRadians),
                      std::sin(yawRadians) * std::cos(pitchRadians));
    front = normalised(f);
    right = normalised(glm::cross(front, worldUp));
    up = normalised(glm::cross(right, front));
}

Camera globalCamera(glm::vec3(0.0f, 0.0f, 3.0f), glm::vec3(0.0f, 1.0f, 0.0f), -90.0f, 0.0f);
