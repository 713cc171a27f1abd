// The program's icon "heptad.png" for desktop menus: the title card's emblem (a glowing
// heptagon with a counter-rotated, fainter twin and lit corners) alone on a square of the card's
// deep violet, 256 x 256. Made at build time; only the package installs it.

#include "imagekit/canvas.h"
#include "imagekit/effects.h"
#include "imagekit/shapes.h"

#include <cmath>

namespace {
constexpr int kSize = 256;
constexpr float kPi = 3.14159265358979f;
const Vec2 kCentre{kSize * 0.5f, kSize * 0.5f};
constexpr float kRadius = 100.0f;
} // namespace

int main(int argc, char** argv) {
    Canvas canvas(kSize, kSize);
    canvas.fill([](float x, float y) {
        const float dx = (x - kCentre.x) / kSize;
        const float dy = (y - kCentre.y) / kSize;
        return mix(palette::night() * 1.15f, palette::clearColour(),
                   std::sqrt(dx * dx + dy * dy) * 1.4f);
    });

    const std::vector<Vec2> heptagon = regularPolygon(kCentre, kRadius, 7);
    Mask emblem(kSize, kSize);
    strokePath(emblem, heptagon, true, 4.0f);
    strokePath(emblem, regularPolygon(kCentre, kRadius * 1.07f, 7, kPi / 7.0f), true, 1.5f, 0.4f);
    Mask corners(kSize, kSize);
    for (const Vec2& corner : heptagon) {
        fillCircle(corners, corner, 4.5f);
    }
    auto emblemColour = [](float x, float) {
        const float t = clamp01((x - kCentre.x + kRadius) / (2.0f * kRadius));
        return mix(palette::violet(), palette::cyan(), t);
    };
    Mask inside(kSize, kSize);
    fillPolygon(inside, heptagon);
    canvas.glow(blurred(inside, 10.0f), palette::violet(), 0.12f);
    canvas.glow(blurred(emblem, 7.0f), palette::violet(), 1.6f);
    canvas.glow(blurred(emblem, 2.0f), mix(palette::violet(), palette::cyan(), 0.5f), 0.9f);
    canvas.paint(emblem, emblemColour);
    canvas.glow(blurred(corners, 4.0f), palette::cyan(), 2.5f);
    canvas.paint(corners, palette::white());
    return writePictureFiles(canvas, argc, argv);
}
