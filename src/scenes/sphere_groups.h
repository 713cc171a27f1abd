#pragma once
#include <glm/glm.hpp>

// Per-sphere arithmetic of scene 5, free of GL so it can be checked directly: fifteen spheres
// k = 0..14 in the first group, eleven l = 0..10 in the second, each with a projection of its
// own. v is the scene time, b the beat counter.

struct SpherePose {
    glm::mat4 projection;
    glm::mat4 model;
};

// floor(v * 128/60): a whole number of beats, held as a float.
float scene5Beat(float v);
// The camera on the -z axis looking at the origin, the same for every sphere.
glm::mat4 scene5View();

// Fields of view in degrees: 45 + |atan k| (45 to about 46.5), 45 / |atan l| (infinite at
// l = 0, then about 57.3 down to 30.6).
float scene5FirstFov(int k);
float scene5SecondFov(int l);

// Sphere l = 0 divides by zero twice; its matrices are not finite and are drawn all the same.
SpherePose scene5FirstSphere(int k, float v, float b);
SpherePose scene5SecondSphere(int l, float v, float b);
