#pragma once
#include <glm/glm.hpp>

// A viewpoint by position and heading angles, with the unit basis derived from them.
struct Camera {
    glm::vec3 position;
    glm::vec3 front;
    glm::vec3 up;
    glm::vec3 right;
    glm::vec3 worldUp;
    float yaw;   // degrees; -90 looks along -z
    float pitch; // degrees
    float moveSpeed;
    float sensitivity;
    float fovDegrees;

    Camera(glm::vec3 position, glm::vec3 worldUp, float yaw, float pitch);
    // Recomputes front, right and up from yaw, pitch and worldUp.
    void updateBasis();
};

// Set up during static initialisation; only its field of view is read (by the start-up
// projection of the lit programs).
extern Camera globalCamera;
