#include "scenes/sphere_groups.h"

#include "schedule/schedule.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

namespace {
SpherePose pose(float fovDegrees, const glm::vec3& translation, const glm::vec3& scale, float angle,
                const glm::vec3& axis) {
    const float fovRadians = fovDegrees * 0.017453292f;
    glm::mat4 model(1.0f);
    model = glm::translate(model, translation);
    model = glm::scale(model, scale);
    model = glm::rotate(model, angle, axis);
    return {glm::perspective(fovRadians, 1.7777778f, 0.1f, 100.0f), model};
}
} // namespace

float scene5Beat(float v) {
    return std::floor(v * beatsPerSecond);
}

glm::mat4 scene5View() {
    return glm::lookAt(glm::vec3(0.0f, 0.0f, -14.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
}

float scene5FirstFov(int k) {
    // The term, between 0 and 1.5, is added to degrees unconverted.
    return static_cast<float>(45.0 + std::abs(std::atan(static_cast<double>(k))));
}

float scene5SecondFov(int l) {
    return static_cast<float>(45.0 / std::abs(std::atan(static_cast<double>(l))));
}

// Single precision for sin b, cos v, sin(k - v); double for the index terms, with 0.4, 1.1 and
// 3.1 entering as their float values; each component rounded to float once.
SpherePose scene5FirstSphere(int k, float v, float b) {
    const double sinB = std::abs(std::sin(b));
    const double cosV = std::abs(std::cos(v));
    const glm::vec3 translation(static_cast<float>(2.0 * sinB - 0.2 * k),
                                static_cast<float>(cosV - 0.3 * k),
                                static_cast<float>(0.01 * k + 0.4f));
    const glm::vec3 scale(3.1f - std::sin(static_cast<float>(k) - v), 1.1f,
                          static_cast<float>(0.3 * k + 1.1f));
    const glm::vec3 axis(1.0f, 0.0f, static_cast<float>(std::sin(static_cast<double>(k))));
    return pose(scene5FirstFov(k), translation, scale, 45.0f, axis);
}

SpherePose scene5SecondSphere(int l, float v, float b) {
    const double sinB = std::abs(std::sin(b));
    const double cosV = std::cos(v);
    // l = 0 divides by zero: an infinite shift, which the matrix maths turns into NaN.
    const glm::vec3 translation(static_cast<float>(-0.5 * sinB - 0.2 * l),
                                static_cast<float>(-cosV / (0.3 * l)),
                                static_cast<float>(0.01 * l - 0.4f));
    const glm::vec3 scale(3.1f * std::sin(static_cast<float>(l) - v), 1.1f,
                          static_cast<float>(0.3 * l + 3.1f));
    const glm::vec3 axis(std::tan(-v), 1.0f, 1.0f);
    return pose(scene5SecondFov(l), translation, scale, 180.0f, axis);
}
