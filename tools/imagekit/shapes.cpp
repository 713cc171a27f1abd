#include "imagekit/shapes.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kPi = 3.14159265358979f;

float segmentDistance(Vec2 p, Vec2 a, Vec2 b) {
    const float abx = b.x - a.x;
    const float aby = b.y - a.y;
    const float len2 = abx * abx + aby * aby;
    float t = len2 > 0.0f ? ((p.x - a.x) * abx + (p.y - a.y) * aby) / len2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    const float dx = p.x - (a.x + abx * t);
    const float dy = p.y - (a.y + aby * t);
    return std::sqrt(dx * dx + dy * dy);
}

// Calls f(x, y, centre) for each pixel of the mask inside the box (grown by one pixel).
template <class F> void forBox(Mask& mask, float x0, float y0, float x1, float y1, F f) {
    const int ix0 = std::max(0, static_cast<int>(std::floor(x0)) - 1);
    const int iy0 = std::max(0, static_cast<int>(std::floor(y0)) - 1);
    const int ix1 = std::min(mask.width - 1, static_cast<int>(std::ceil(x1)) + 1);
    const int iy1 = std::min(mask.height - 1, static_cast<int>(std::ceil(y1)) + 1);
    for (int y = iy0; y <= iy1; ++y) {
        for (int x = ix0; x <= ix1; ++x) {
            f(x, y, Vec2{x + 0.5f, y + 0.5f});
        }
    }
}

void accumulate(Mask& mask, int x, int y, float cover) {
    if (cover > 0.0f) {
        float& a = mask.at(x, y);
        a = std::max(a, std::min(1.0f, cover));
    }
}

void bounds(const std::vector<Vec2>& pts, float grow, float* x0, float* y0, float* x1, float* y1) {
    *x0 = *y0 = 1e30f;
    *x1 = *y1 = -1e30f;
    for (const Vec2& p : pts) {
        *x0 = std::min(*x0, p.x - grow);
        *y0 = std::min(*y0, p.y - grow);
        *x1 = std::max(*x1, p.x + grow);
        *y1 = std::max(*y1, p.y + grow);
    }
}

// Even-odd inside test.
bool inside(const std::vector<Vec2>& pts, Vec2 p) {
    bool in = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
        const Vec2 a = pts[i];
        const Vec2 b = pts[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
            in = !in;
        }
    }
    return in;
}
} // namespace

std::vector<Vec2> regularPolygon(Vec2 centre, float radius, int sides, float rotation) {
    std::vector<Vec2> pts;
    for (int i = 0; i < sides; ++i) {
        const float angle = rotation + 2.0f * kPi * i / sides;
        pts.push_back({centre.x + radius * std::sin(angle), centre.y - radius * std::cos(angle)});
    }
    return pts;
}

void strokePath(Mask& mask, const std::vector<Vec2>& pts, bool closed, float width, float opacity) {
    float x0, y0, x1, y1;
    bounds(pts, width, &x0, &y0, &x1, &y1);
    const size_t segments = closed ? pts.size() : pts.size() - 1;
    forBox(mask, x0, y0, x1, y1, [&](int x, int y, Vec2 p) {
        float d = 1e30f;
        for (size_t i = 0; i < segments; ++i) {
            d = std::min(d, segmentDistance(p, pts[i], pts[(i + 1) % pts.size()]));
        }
        // Lines thinner than a pixel fade instead of breaking up.
        const float w = std::max(width, 1.0f);
        accumulate(mask, x, y, clamp01(w * 0.5f - d + 0.5f) * opacity * std::min(1.0f, width));
    });
}

void fillPolygon(Mask& mask, const std::vector<Vec2>& pts, float opacity) {
    float x0, y0, x1, y1;
    bounds(pts, 1.0f, &x0, &y0, &x1, &y1);
    forBox(mask, x0, y0, x1, y1, [&](int x, int y, Vec2 p) {
        float d = 1e30f;
        for (size_t i = 0; i < pts.size(); ++i) {
            d = std::min(d, segmentDistance(p, pts[i], pts[(i + 1) % pts.size()]));
        }
        const float signedDist = inside(pts, p) ? -d : d;
        accumulate(mask, x, y, clamp01(0.5f - signedDist) * opacity);
    });
}

void fillCircle(Mask& mask, Vec2 c, float r, float opacity) {
    forBox(mask, c.x - r, c.y - r, c.x + r, c.y + r, [&](int x, int y, Vec2 p) {
        const float d = std::hypot(p.x - c.x, p.y - c.y) - r;
        accumulate(mask, x, y, clamp01(0.5f - d) * opacity);
    });
}

void strokeCircle(Mask& mask, Vec2 c, float r, float width, float opacity) {
    const float g = r + width;
    forBox(mask, c.x - g, c.y - g, c.x + g, c.y + g, [&](int x, int y, Vec2 p) {
        const float d = std::fabs(std::hypot(p.x - c.x, p.y - c.y) - r);
        const float w = std::max(width, 1.0f);
        accumulate(mask, x, y, clamp01(w * 0.5f - d + 0.5f) * opacity * std::min(1.0f, width));
    });
}

void fillRect(Mask& mask, float x0, float y0, float x1, float y1, float opacity) {
    forBox(mask, x0, y0, x1, y1, [&](int x, int y, Vec2 p) {
        const float cx = clamp01(std::min(p.x - x0, x1 - p.x) + 0.5f);
        const float cy = clamp01(std::min(p.y - y0, y1 - p.y) + 0.5f);
        accumulate(mask, x, y, cx * cy * opacity);
    });
}
