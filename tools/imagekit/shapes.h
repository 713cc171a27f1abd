#pragma once
// Anti-aliased shapes drawn into coverage masks. Coverage comes from the exact distance to the
// shape's edge (a one-pixel ramp), which is as clean as heavy supersampling for lines and fills.

#include "imagekit/canvas.h"

#include <vector>

struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;
};

// Corners of a regular polygon around centre (y grows downwards), the first corner straight up
// and rotated by `rotation` radians clockwise.
std::vector<Vec2> regularPolygon(Vec2 centre, float radius, int sides, float rotation = 0.0f);

// A line of the given width along the points; closed joins the last point to the first.
void strokePath(Mask& mask, const std::vector<Vec2>& points, bool closed, float width,
                float opacity = 1.0f);

// The inside of a simple polygon.
void fillPolygon(Mask& mask, const std::vector<Vec2>& points, float opacity = 1.0f);

void fillCircle(Mask& mask, Vec2 centre, float radius, float opacity = 1.0f);
void strokeCircle(Mask& mask, Vec2 centre, float radius, float width, float opacity = 1.0f);
void fillRect(Mask& mask, float x0, float y0, float x1, float y1, float opacity = 1.0f);
