#pragma once
#include <glm/glm.hpp>

// Per-copy arithmetic of the two cube-trail scenes (2 and 3), free of GL so it can be checked
// directly. Some terms are taken in double precision and rounded to float on purpose: the
// rounding decides the last bit of every position, so it is done here exactly as drawn.

struct PolygonOffset {
    float factor;
    float units;
};

// The angle every copy turns by: 0.2 rad a second of the global timer, read afresh per copy.
float trailAngle(double timerSeconds);

// Scene 2: fifteen copies i = 0..14 whose model turns and whose view shifts copy after copy.
// The bounce height k = |cos local| - 0.095 atan local, once a frame.
float scene2Bounce(float local);
// Axis (0.5, 1 - 0.2 i, 0) of copy i's extra turn (the rotation normalises it).
glm::vec3 scene2Axis(int copy);
// The shift (0.3 - 0.09 i, k, 2 i - 12) added to the view for copy i.
glm::vec3 scene2Step(int copy, float bounce);
// Factor 0.1 i, units sin 5i.
PolygonOffset scene2PolygonOffset(int copy);

// Scene 3: eleven copies k = 0..10 along n, the unit vector of (1, 1, atan 1).
glm::vec3 scene3Direction();
// Scale (2, atan(k + u), 0.2 k) multiplied onto the model for copy k.
glm::vec3 scene3Scale(int copy, float u);
// The shift (0.009 k n.x, (k - 0.5) n.y, (k - 14) n.z) added to the view for copy k.
glm::vec3 scene3Step(int copy);
// Axis (1, 1 - 0.2 k, -4) of copy k's extra turn.
glm::vec3 scene3Axis(int copy);
// Factor 1, units atan k.
PolygonOffset scene3PolygonOffset(int copy);
