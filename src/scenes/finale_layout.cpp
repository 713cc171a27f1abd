#include "scenes/finale_layout.h"

#include "schedule/clock.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

FinaleFrame finaleFrameAt(float demoTime) {
    FinaleFrame frame{};
    frame.demoTime = demoTime;
    frame.s = demoTime - sceneStart(TimelineScene::Finale);
    frame.b = std::floor(frame.s * beatsPerSecond);
    frame.window = finaleWindowAt(frame.s);
    if (frame.window == FinaleWindow::Late) {
        frame.spacing = std::atan(frame.s) * 2.1f * glm::clamp(std::cos(demoTime), 0.001f, 0.35f);
    }
    return frame;
}

FinaleGridShape finaleGridShape(FinaleWindow window) {
    switch (window) {
    case FinaleWindow::Early:
        return {11, 12};
    case FinaleWindow::Middle:
        return {7, 12};
    case FinaleWindow::Late:
        return {20, 15};
    case FinaleWindow::None:
        break;
    }
    return {0, 0};
}

glm::vec3 finaleEye(const FinaleFrame& frame) {
    if (frame.window == FinaleWindow::Late) {
        return glm::vec3(0.0f, 0.075f * std::sin(frame.b), std::sin(frame.s) * 15.0f * 0.075f);
    }
    return glm::vec3(0.0f, 0.0f, -10.0f);
}

glm::vec3 finaleCamPos(FinaleWindow window) {
    return window == FinaleWindow::Late ? glm::vec3(0.0f, 0.35f, 0.0f) : glm::vec3(0.0f);
}

glm::mat4 finaleLateProjection() {
    return glm::perspective(1.5707964f, 1.7777778f, 0.1f, 100.0f);
}

float finaleMetallic(const FinaleFrame& frame, int row) {
    const float sinB = std::sin(frame.b);
    switch (frame.window) {
    case FinaleWindow::Early:
        return static_cast<float>(row) / 11.0f;
    case FinaleWindow::Middle:
        return static_cast<float>(2.1 * sinB);
    case FinaleWindow::Late:
        return static_cast<float>(0.75 * std::abs(sinB));
    case FinaleWindow::None:
        break;
    }
    return 0.0f;
}

float finaleRoughness(const FinaleFrame& frame) {
    if (frame.window == FinaleWindow::Early) {
        return glm::clamp(static_cast<float>(0.3 * std::sin(frame.b)), 0.05f, 0.65f);
    }
    return glm::clamp(std::sin(frame.demoTime), 0.001f, 0.35f);
}

glm::mat4 finaleSphereModel(const FinaleFrame& frame, int row, int column) {
    const float sinB = std::sin(frame.b);
    const float r = static_cast<float>(row);
    const float c = static_cast<float>(column);
    if (frame.window == FinaleWindow::Early) {
        const float x = (c - 12.0f * sinB) * (1.5f * sinB);
        const float y = (r - 7.857143f) * 1.5f;
        return glm::translate(glm::mat4(1.0f), glm::vec3(x, y, -2.0f));
    }

    float x = 0.0f;
    float y = 0.0f;
    if (frame.window == FinaleWindow::Middle) {
        x = (c - 10.0f) * (1.5f * std::abs(sinB));
        y = r * 9.166666f * 1.5f;
    } else {
        x = static_cast<float>(column - 3.75) * frame.spacing;
        y = r * 16.666666f * frame.spacing;
    }
    // Rotated, then stretched along z by the row, then moved; the angle is 45 radians.
    glm::mat4 model = glm::translate(glm::mat4(1.0f), glm::vec3(x, y, -2.0f));
    model = glm::scale(
        model, glm::vec3(0.6f, 1.1f, static_cast<float>(row + 0.3 + static_cast<double>(1.1f))));
    const glm::vec3 axis(static_cast<float>(std::tan(static_cast<double>(row))), std::cos(frame.b),
                         1.0f);
    return glm::rotate(model, 45.0f, axis);
}

FinaleLights finaleLights() {
    FinaleLights lights{};
    lights.positions[0] = glm::vec3(static_cast<float>(5.0 * std::sin(timerSeconds())), 5.0f,
                                    static_cast<float>(7.0 * std::cos(timerSeconds())));
    lights.positions[1] =
        glm::vec3(10.0f, 10.0f, static_cast<float>(10.0 * std::sin(timerSeconds())));
    lights.positions[2] =
        glm::vec3(-10.0f, static_cast<float>(-10.0 * std::sin(timerSeconds())), 10.0f);
    lights.positions[3] =
        glm::vec3(static_cast<float>(10.0 * std::sin(timerSeconds())), -10.0f, 10.0f);
    lights.colors[0] = glm::vec3(10.0f, 10.0f, 10.0f);
    lights.colors[1] = glm::vec3(0.0f, 0.0f, 350.0f);
    lights.colors[2] = glm::vec3(0.0f, 350.0f, 0.0f);
    lights.colors[3] = glm::vec3(static_cast<float>(300.0 * std::abs(std::sin(timerSeconds()))),
                                 static_cast<float>(150.0 * std::abs(std::atan(timerSeconds()))),
                                 static_cast<float>(150.0 * std::abs(std::cos(timerSeconds()))));
    return lights;
}
