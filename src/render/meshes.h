#pragma once

// Meshes the program builds itself. Each draw builds its GL objects on its first call and
// only binds and draws afterwards; nothing is ever deleted. 0 means "not built yet".
extern unsigned int cubeVAO, cubeVBO;
extern unsigned int sphereVAO;
extern int sphereIndexCount;
extern unsigned int lightSphereVAO;
extern int lightSphereIndexCount;
extern unsigned int quadVAO, quadVBO;

// Cube at plus or minus 1; returns with no vertex array bound.
void drawCube();
// Unit UV sphere; returns with its vertex array still bound.
void drawSphere();
// The same sphere in objects of its own, for the finale's light markers.
void drawLightSphere();
// Clip-space quad; returns with no vertex array bound.
void drawQuad();
