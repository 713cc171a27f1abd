// The title card "imgs/logo.png": the HEPTAD wordmark in a violet-to-cyan gradient over a thin
// glowing heptagon, with a small tagline, on a vignette that melts into the title's clear colour.

#include "imagekit/canvas.h"
#include "imagekit/effects.h"
#include "imagekit/shapes.h"
#include "imagekit/text.h"

#include <cmath>
#include <cstdio>

namespace {
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr float kPi = 3.14159265358979f;
const Vec2 kCentre{kWidth * 0.5f, kHeight * 0.5f};
constexpr float kBaseline = 620.0f; // of the wordmark

// Violet on the left running into cyan on the right, a little brighter through the middle.
Color wordmarkGradient(float x, float y, float left, float right, float top, float bottom) {
    const float t = clamp01((x - left) / (right - left));
    Color c = mix(palette::violet(), palette::cyan(), smoothstep(0.0f, 1.0f, t));
    c = c * (1.0f + 0.25f * std::sin(t * kPi));
    // A sheen on the upper half of the letters and a slightly deeper foot.
    const float v = clamp01((y - top) / (bottom - top));
    c = mix(c, palette::white(), 0.16f * (1.0f - smoothstep(0.0f, 0.5f, v)));
    return c * (1.0f - 0.25f * smoothstep(0.6f, 1.0f, v));
}
} // namespace

int main(int argc, char** argv) {
    const Font display(fonts::bold());
    const Font mono(fonts::mono());
    if (!display.ok() || !mono.ok()) {
        std::fprintf(stderr, "cannot read the DejaVu fonts\n");
        return 1;
    }

    Canvas canvas(kWidth, kHeight);

    // Background: deep violet in the middle, the clear colour at the rim.
    canvas.fill([](float x, float y) {
        const float dx = (x - kCentre.x) / (kWidth * 0.55f);
        const float dy = (y - kCentre.y) / (kHeight * 0.62f);
        const float r2 = dx * dx + dy * dy;
        return mix(palette::clearColour(), palette::night() * 1.15f, std::exp(-r2 * 2.2f));
    });
    sprinkleStars(canvas, 260, 0x4e505441u, 0.55f);

    // Faint construction lines: rays through the heptagon's corners and echo rings.
    Mask construction(kWidth, kHeight);
    for (const Vec2& corner : regularPolygon(kCentre, 1200.0f, 7)) {
        strokePath(construction, {kCentre, corner}, false, 1.0f, 0.5f);
    }
    for (int ring = 1; ring <= 4; ++ring) {
        strokePath(construction, regularPolygon(kCentre, 400.0f + ring * 70.0f, 7), true, 1.0f,
                   0.55f / ring);
    }
    canvas.glow(construction, mix(palette::violet(), palette::cyan(), 0.4f), 0.05f);

    // The emblem: a thin heptagon with a counter-rotated, fainter twin and lit corners.
    const std::vector<Vec2> heptagon = regularPolygon(kCentre, 400.0f, 7);
    Mask emblem(kWidth, kHeight);
    strokePath(emblem, heptagon, true, 3.0f);
    strokePath(emblem, regularPolygon(kCentre, 428.0f, 7, kPi / 7.0f), true, 1.2f, 0.3f);
    // Lit corners, except the two that would sit on the wordmark's baseline.
    Mask corners(kWidth, kHeight);
    for (const Vec2& corner : heptagon) {
        if (std::fabs(corner.y - kBaseline) > 60.0f) {
            fillCircle(corners, corner, 5.0f);
        }
    }
    auto emblemColour = [](float x, float y) {
        const float t = clamp01((x - kCentre.x + 430.0f) / 860.0f);
        return mix(palette::violet(), palette::cyan(), t) * (1.0f + 0.0f * y);
    };
    // A faint violet haze fills the heptagon, so the emblem reads as a shape and not only lines.
    Mask inside(kWidth, kHeight);
    fillPolygon(inside, heptagon);
    canvas.glow(blurred(inside, 40.0f), palette::violet(), 0.035f);
    canvas.glow(blurred(emblem, 22.0f), palette::violet(), 1.6f);
    canvas.glow(blurred(emblem, 5.0f), mix(palette::violet(), palette::cyan(), 0.5f), 0.9f);
    canvas.paint(emblem, emblemColour);
    canvas.glow(blurred(corners, 10.0f), palette::cyan(), 2.5f);
    canvas.paint(corners, palette::white());

    // The wordmark, on a soft dark bed so the emblem's lines pass behind it.
    const TextStyle markStyle{190.0f, 0.30f};
    const float markWidth = textWidth(display, "HEPTAD", markStyle);
    const float left = kCentre.x - markWidth * 0.5f;
    const float right = kCentre.x + markWidth * 0.5f;
    Mask mark(kWidth, kHeight);
    drawText(mark, display, "HEPTAD", kCentre.x, kBaseline, markStyle, Align::Centre);
    canvas.shade(blurred(mark, 26.0f), 1.6f);
    canvas.glow(blurred(mark, 60.0f), palette::violet(), 0.55f);
    canvas.glow(blurred(mark, 14.0f), mix(palette::violet(), palette::cyan(), 0.5f), 0.55f);
    canvas.paint(mark, [&](float x, float y) {
        return wordmarkGradient(x, y, left, right, kBaseline - markStyle.capHeight, kBaseline);
    });

    // Tagline in the mono face between two short rules, the slash picked out in amber.
    const TextStyle tagStyle{27.0f, 0.55f};
    const float tagBaseline = 718.0f;
    const std::string first = "seven scenes ";
    const std::string second = " 128 bpm";
    const float firstWidth = textWidth(mono, first + "/", tagStyle);
    const float tagWidth = textWidth(mono, first + "/" + second, tagStyle);
    const float tagLeft = kCentre.x - tagWidth * 0.5f;
    Mask tagline(kWidth, kHeight);
    drawText(tagline, mono, first, tagLeft, tagBaseline, tagStyle);
    drawText(tagline, mono, second, tagLeft + firstWidth + tagStyle.tracking * tagStyle.capHeight,
             tagBaseline, tagStyle);
    Mask slash(kWidth, kHeight);
    drawText(slash, mono, "/",
             tagLeft + textWidth(mono, first, tagStyle) + tagStyle.tracking * tagStyle.capHeight,
             tagBaseline, tagStyle);
    Mask rules(kWidth, kHeight);
    const float ruleY = tagBaseline - tagStyle.capHeight * 0.4f;
    fillRect(rules, tagLeft - 190.0f, ruleY - 1.0f, tagLeft - 40.0f, ruleY + 1.0f);
    fillRect(rules, tagLeft + tagWidth + 40.0f, ruleY - 1.0f, tagLeft + tagWidth + 190.0f,
             ruleY + 1.0f);
    canvas.glow(blurred(tagline, 6.0f), palette::violet(), 0.4f);
    canvas.paint(tagline, hexColor(0xd9d0ff));
    canvas.glow(blurred(slash, 5.0f), palette::amber(), 0.8f);
    canvas.paint(slash, palette::amber());
    canvas.paint(rules, [&](float x, float) {
        const float d = std::fabs(x - kCentre.x);
        const float fade = 1.0f - smoothstep(tagWidth * 0.5f + 60.0f, tagWidth * 0.5f + 190.0f, d);
        return mix(palette::clearColour(), palette::cyan(), fade);
    });

    fadeEdgesToClearColour(canvas, 90.0f);
    return writePictureFiles(canvas, argc, argv);
}
