#include "schedule/camera.h"

#include <gtest/gtest.h>

TEST(Camera, GlobalCameraIsSetUpBeforeMain) {
    EXPECT_EQ(globalCamera.position, glm::vec3(0.0f, 0.0f, 3.0f));
    EXPECT_EQ(globalCamera.worldUp, glm::vec3(0.0f, 1.0f, 0.0f));
    EXPECT_FLOAT_EQ(globalCamera.yaw, -90.0f);
    EXPECT_FLOAT_EQ(globalCamera.pitch, 0.0f);
    EXPECT_FLOAT_EQ(globalCamera.moveSpeed, 2.5f);
    EXPECT_FLOAT_EQ(globalCamera.sensitivity, 0.1f);
    EXPECT_FLOAT_EQ(globalCamera.fovDegrees, 45.0f);
}

TEST(Camera, GlobalCameraBasisInSinglePrecision) {
    EXPECT_FLOAT_EQ(globalCamera.front.x, -4.371139e-08f);
    EXPECT_FLOAT_EQ(globalCamera.front.y, 0.0f);
    EXPECT_FLOAT_EQ(globalCamera.front.z, -1.0f);
    EXPECT_FLOAT_EQ(globalCamera.right.x, 1.0f);
    EXPECT_FLOAT_EQ(globalCamera.right.y, 0.0f);
    EXPECT_FLOAT_EQ(globalCamera.right.z, -4.371139e-08f);
    EXPECT_EQ(globalCamera.up, glm::vec3(0.0f, 1.0f, 0.0f));
}

TEST(Camera, BasisIsUnitAndOrthogonalForOtherAngles) {
    Camera camera(glm::vec3(1.0f, 2.0f, 3.0f), glm::vec3(0.0f, 1.0f, 0.0f), 30.0f, 40.0f);
    EXPECT_NEAR(glm::length(camera.front), 1.0f, 1e-6f);
    EXPECT_NEAR(glm::length(camera.right), 1.0f, 1e-6f);
    EXPECT_NEAR(glm::length(camera.up), 1.0f, 1e-6f);
    EXPECT_NEAR(glm::dot(camera.front, camera.right), 0.0f, 1e-6f);
    EXPECT_NEAR(glm::dot(camera.front, camera.up), 0.0f, 1e-6f);
    EXPECT_NEAR(camera.front.y, std::sin(glm::radians(40.0f)), 1e-6f);
    EXPECT_NEAR(camera.right.y, 0.0f, 1e-6f); // right stays horizontal
}
