#include "scenes/cube_trails.h"

#include <cmath>

float trailAngle(double timerSeconds) {
    return static_cast<float>(timerSeconds * 0.2);
}

float scene2Bounce(float local) {
    return std::abs(std::cos(local)) - 0.095f * std::atan(local);
}

glm::vec3 scene2Axis(int copy) {
    return glm::vec3(0.5f, static_cast<float>(1.0 - 0.2 * copy), 0.0f);
}

glm::vec3 scene2Step(int copy, float bounce) {
    return glm::vec3(static_cast<float>(0.3 - 0.09 * copy), bounce,
                     static_cast<float>(2 * copy - 12));
}

PolygonOffset scene2PolygonOffset(int copy) {
    return {static_cast<float>(copy * 0.1), static_cast<float>(std::sin(5.0 * copy))};
}

glm::vec3 scene3Direction() {
    // (1, 1, 0.7853982) / 1.6176682
    return glm::normalize(glm::vec3(1.0f, 1.0f, std::atan(1.0f)));
}

glm::vec3 scene3Scale(int copy, float u) {
    return glm::vec3(2.0f, std::atan(static_cast<float>(copy) + u), static_cast<float>(0.2 * copy));
}

glm::vec3 scene3Step(int copy) {
    // 0.009 k is formed as k * 0.09 * 0.1f in double; each term is rounded to float before
    // it meets n.
    const glm::vec3 terms(static_cast<float>(copy * 0.09 * 0.1f), static_cast<float>(copy - 0.5),
                          static_cast<float>(copy - 14));
    return terms * scene3Direction();
}

glm::vec3 scene3Axis(int copy) {
    return glm::vec3(1.0f, static_cast<float>(1.0 - 0.2 * copy), -4.0f);
}

PolygonOffset scene3PolygonOffset(int copy) {
    return {1.0f, static_cast<float>(std::atan(static_cast<double>(copy)))};
}
