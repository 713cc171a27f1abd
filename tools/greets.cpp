// The second greetings card "imgs/Greets.png": cyan on night, twelve invented groups arranged
// around the heptagon emblem like stations on a radar, with a sign-off line at the foot.

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
const Vec2 kCentre{kWidth * 0.5f, 520.0f};

// Invented names only, clockwise from the top.
const char* const kNames[12] = {
    "Neon Walrus",   "Static Tulip",      "Low Orbit Laundry",  "Byte Meadow",
    "Glass Ferret",  "Turquoise Anvil",   "Lambda Lagoon",      "Midnight Protractor",
    "Quiet Voltage", "Kilohertz Kittens", "Graph Paper Ghosts", "Ultraviolet Bakery",
};

Color paleCyan() {
    return hexColor(0xb8f3ff);
}
} // namespace

int main(int argc, char** argv) {
    const Font display(fonts::bold());
    const Font condensed(fonts::condensedBold());
    const Font mono(fonts::mono());
    if (!display.ok() || !condensed.ok() || !mono.ok()) {
        std::fprintf(stderr, "cannot read the DejaVu fonts\n");
        return 1;
    }
    const Color cyan = palette::cyan();

    // Night sky with a faint violet bloom behind the emblem.
    Canvas canvas(kWidth, kHeight);
    canvas.fill([](float x, float y) {
        const float dx = (x - kCentre.x) / 900.0f;
        const float dy = (y - kCentre.y) / 560.0f;
        return mix(palette::clearColour(), palette::night(), std::exp(-(dx * dx + dy * dy) * 2.5f));
    });
    sprinkleStars(canvas, 180, 0x47524545u, 0.4f);

    // Radar: range rings and seven spokes, very faint.
    Mask radar(kWidth, kHeight);
    for (int ring = 1; ring <= 5; ++ring) {
        strokeCircle(radar, kCentre, 150.0f * ring, 1.0f, 0.9f - ring * 0.12f);
    }
    for (const Vec2& end : regularPolygon(kCentre, 1100.0f, 7, kPi / 7.0f)) {
        strokePath(radar, {kCentre, end}, false, 1.0f, 0.6f);
    }
    canvas.glow(radar, cyan, 0.07f);

    // Stations on an ellipse; each label sits outside its node, towards the edge.
    const float rx = 440.0f;
    const float ry = 330.0f;
    const TextStyle nameStyle{34.0f, 0.04f};
    Mask links(kWidth, kHeight);
    Mask nodes(kWidth, kHeight);
    Mask names(kWidth, kHeight);
    for (int i = 0; i < 12; ++i) {
        const float angle = kPi * 0.5f - i * (2.0f * kPi / 12.0f); // clockwise from the top
        const float c = std::cos(angle);
        const float s = std::sin(angle);
        const Vec2 node{kCentre.x + rx * c, kCentre.y - ry * s};
        const Vec2 start{kCentre.x + 222.0f * c, kCentre.y - 222.0f * s};
        strokePath(links, {start, node}, false, 1.5f, 0.7f);
        strokeCircle(nodes, node, 9.0f, 2.0f);
        fillCircle(nodes, node, 3.5f);
        if (c > 0.3f) {
            drawText(names, condensed, kNames[i], node.x + 24.0f, node.y + 12.0f, nameStyle);
        } else if (c < -0.3f) {
            drawText(names, condensed, kNames[i], node.x - 24.0f, node.y + 12.0f, nameStyle,
                     Align::Right);
        } else if (s > 0.0f) {
            drawText(names, condensed, kNames[i], node.x, node.y - 24.0f, nameStyle, Align::Centre);
        } else {
            drawText(names, condensed, kNames[i], node.x, node.y + 24.0f + nameStyle.capHeight,
                     nameStyle, Align::Centre);
        }
    }
    canvas.paint(links, [](float x, float y) {
        // Links brighten towards their station.
        const float d = std::hypot((x - kCentre.x) / 440.0f, (y - kCentre.y) / 330.0f);
        return mix(palette::night(), palette::cyan(), smoothstep(0.3f, 1.0f, d));
    });
    canvas.glow(blurred(nodes, 6.0f), cyan, 1.2f);
    canvas.paint(nodes, paleCyan());
    canvas.glow(blurred(names, 12.0f), cyan, 0.45f);
    canvas.paint(names, cyan);

    // The emblem: a glowing heptagon holding the word.
    Mask emblem(kWidth, kHeight);
    strokePath(emblem, regularPolygon(kCentre, 205.0f, 7), true, 3.0f);
    strokePath(emblem, regularPolygon(kCentre, 187.0f, 7), true, 1.0f, 0.5f);
    canvas.glow(blurred(emblem, 16.0f), cyan, 1.2f);
    canvas.glow(blurred(emblem, 4.0f), cyan, 0.8f);
    canvas.paint(emblem, paleCyan());
    Mask word(kWidth, kHeight);
    drawText(word, display, "GREETS", kCentre.x + 5.0f, kCentre.y + 16.0f, {38.0f, 0.24f},
             Align::Centre);
    canvas.glow(blurred(word, 14.0f), cyan, 0.7f);
    canvas.paint(word, palette::white());
    Mask sub(kWidth, kHeight);
    drawText(sub, mono, "part two", kCentre.x + 4.0f, kCentre.y + 60.0f, {17.0f, 0.5f},
             Align::Centre);
    canvas.paint(sub, cyan, 0.85f);

    // Technical margins and the sign-off.
    Mask small(kWidth, kHeight);
    drawText(small, mono, "HPTD/GREETS.02", 90.0f, 90.0f, {16.0f, 0.3f});
    drawText(small, mono, "128 BPM  A MINOR", kWidth - 90.0f, 90.0f, {16.0f, 0.3f}, Align::Right);
    canvas.paint(small, cyan, 0.5f);
    Mask signOff(kWidth, kHeight);
    drawText(signOff, mono, "thanks for watching — the heptad crew, signing off", kWidth * 0.5f,
             1010.0f, {22.0f, 0.22f}, Align::Centre);
    canvas.glow(blurred(signOff, 8.0f), cyan, 0.3f);
    canvas.paint(signOff, paleCyan());

    vignette(canvas, 0.4f);
    fadeEdgesToClearColour(canvas, 24.0f);
    return writePictureFiles(canvas, argc, argv);
}
