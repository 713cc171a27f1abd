#pragma once
#include "schedule/schedule.h"

#include <array>
#include <glm/glm.hpp>

// The numbers of the PBR finale, free of GL: which grid a frame shows, where its camera and
// spheres are and what they are made of, and where the four lights are. Each value keeps the
// precision the finale's tables fix (single, or double rounded to float where stated).

struct FinaleFrame {
    float demoTime;
    float s;       // seconds into the finale
    float b;       // beat counter: floor(s x 2.1333334), 128 a minute
    float spacing; // the late grid's spacing d; 0 in the other sub-windows
    FinaleWindow window;
};

FinaleFrame finaleFrameAt(float demoTime);

struct FinaleGridShape {
    int rows;
    int columns;
};
FinaleGridShape finaleGridShape(FinaleWindow window);

glm::vec3 finaleEye(const FinaleFrame& frame);
glm::vec3 finaleCamPos(FinaleWindow window);
// The late grid's 90-degree projection; the others keep the start-up one.
glm::mat4 finaleLateProjection();

float finaleMetallic(const FinaleFrame& frame, int row);
float finaleRoughness(const FinaleFrame& frame);
glm::mat4 finaleSphereModel(const FinaleFrame& frame, int row, int column);

struct FinaleLights {
    std::array<glm::vec3, 4> positions;
    std::array<glm::vec3, 4> colors;
};
// Reads the timer afresh for every term that moves, so the values need not share one instant.
FinaleLights finaleLights();
