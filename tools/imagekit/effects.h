#pragma once
// Finishing touches shared by the pictures.

#include "imagekit/canvas.h"

#include <cstdint>

// Small soft points of light in violet, cyan and white, placed by a fixed seed.
void sprinkleStars(Canvas& canvas, int count, uint32_t seed, float brightness);

// Blends the outer `margin` pixels into the demo's clear colour, so the card's border is the
// colour of the screen around it.
void fadeEdgesToClearColour(Canvas& canvas, float margin);

// Darkens towards the corners (an oval vignette), strength 0..1 at the corners.
void vignette(Canvas& canvas, float strength);

// Writes the picture to argv[1] and, when given, a half-size preview to argv[2]; prints what
// failed and returns the process exit status.
int writePictureFiles(const Canvas& canvas, int argc, char** argv);
