// The first greetings card "imgs/Tarvogreets.png": a concert poster in amber on violet, the
// line-up being fifteen invented groups that the Heptad crew greets.

#include "imagekit/canvas.h"
#include "imagekit/effects.h"
#include "imagekit/shapes.h"
#include "imagekit/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr float kPi = 3.14159265358979f;

// Invented names only.
const char* const kLineUp[15] = {
    "SODIUM ORCHARD", "COBALT MOTH",  "QUARTZ LANTERN",   "VELVET OSCILLATOR", "NINE TIN OWLS",
    "HELIX PANTRY",   "MOSS & MODEM", "POLAR TEACUP",     "NOISY HERON",       "COPPER FJORD",
    "SINE PARLOUR",   "GRAVEL CHOIR", "VECTOR MARMALADE", "DUSK RELAY",        "TIDAL ABACUS",
};

Color cream() {
    return hexColor(0xffe2b0);
}

// Printed halftone: dots on a 45-degree screen whose size follows `tone` (0..1).
template <class F> void halftone(Mask& mask, float pitch, F tone) {
    const float c = std::cos(kPi / 4.0f);
    const float s = std::sin(kPi / 4.0f);
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            const float px = x + 0.5f;
            const float py = y + 0.5f;
            const float u = (px * c + py * s) / pitch;
            const float v = (-px * s + py * c) / pitch;
            const float du = (u - std::floor(u) - 0.5f) * pitch;
            const float dv = (v - std::floor(v) - 0.5f) * pitch;
            const float radius = 0.5f * pitch * std::sqrt(clamp01(tone(px, py)));
            mask.at(x, y) =
                std::max(mask.at(x, y), clamp01(radius - std::sqrt(du * du + dv * dv) + 0.5f));
        }
    }
}
} // namespace

int main(int argc, char** argv) {
    const Font condensed(fonts::condensedBold());
    const Font mono(fonts::mono());
    const Font monoBold(fonts::monoBold());
    if (!condensed.ok() || !mono.ok() || !monoBold.ok()) {
        std::fprintf(stderr, "cannot read the DejaVu fonts\n");
        return 1;
    }
    const Color amber = palette::amber();
    const Color paper = hexColor(0x2a1050);

    // Poster paper: violet, lighter at the top, with a printed halftone that swells into the
    // lower corners.
    Canvas canvas(kWidth, kHeight);
    canvas.fill([&](float, float y) { return mix(paper * 1.25f, palette::night(), y / kHeight); });
    Mask dots(kWidth, kHeight);
    halftone(dots, 13.0f, [](float x, float y) {
        const float fromLeft = std::hypot(x / kWidth, 1.0f - y / kHeight);
        const float fromRight = std::hypot(1.0f - x / kWidth, 1.0f - y / kHeight);
        return 0.55f * (1.0f - smoothstep(0.0f, 0.55f, std::min(fromLeft, fromRight)));
    });
    canvas.paint(dots, amber * 0.55f, 0.22f);

    // Double frame with heptagon studs in the corners.
    Mask frame(kWidth, kHeight);
    const float m = 44.0f;
    strokePath(frame, {{m, m}, {kWidth - m, m}, {kWidth - m, kHeight - m}, {m, kHeight - m}}, true,
               4.0f);
    const float n = m + 12.0f;
    strokePath(frame, {{n, n}, {kWidth - n, n}, {kWidth - n, kHeight - n}, {n, kHeight - n}}, true,
               1.5f);
    for (const Vec2 corner : {Vec2{n + 34, n + 36}, Vec2{kWidth - n - 34, n + 36}}) {
        strokePath(frame, regularPolygon(corner, 16.0f, 7), true, 2.5f);
        fillCircle(frame, corner, 4.0f);
    }
    canvas.paint(frame, amber);

    // Header: a small kicker, the big word, the dedication between rules.
    Mask header(kWidth, kHeight);
    drawText(header, mono, "HEPTAD  PRESENTS  //  LIVE  AT  128  BPM", kWidth * 0.5f, 128.0f,
             {20.0f, 0.35f}, Align::Centre);
    canvas.paint(header, cream(), 0.85f);
    Mask title(kWidth, kHeight);
    drawText(title, condensed, "GREETINGS", kWidth * 0.5f, 300.0f, {138.0f, 0.10f}, Align::Centre);
    Mask titleShadow(kWidth, kHeight);
    drawText(titleShadow, condensed, "GREETINGS", kWidth * 0.5f + 7.0f, 307.0f, {138.0f, 0.10f},
             Align::Centre);
    canvas.shade(blurred(titleShadow, 3.0f), 0.7f);
    canvas.glow(blurred(title, 30.0f), amber, 0.35f);
    canvas.paint(
        title, [&](float, float y) { return mix(cream(), amber, smoothstep(170.0f, 290.0f, y)); });
    const TextStyle dedication{30.0f, 0.30f};
    const std::string dedicationText = "from the heptad crew to";
    Mask line(kWidth, kHeight);
    drawText(line, mono, dedicationText, kWidth * 0.5f, 368.0f, dedication, Align::Centre);
    const float half = textWidth(mono, dedicationText, dedication) * 0.5f + 36.0f;
    fillRect(line, 130.0f, 355.0f, kWidth * 0.5f - half, 358.0f);
    fillRect(line, kWidth * 0.5f + half, 355.0f, kWidth - 130.0f, 358.0f);
    canvas.paint(line, amber);

    // The line-up: three columns of five, each name after its running number. One cap height
    // for all names, the largest at which the longest fits a third of the frame; the grid is
    // then centred on what it really occupies.
    const float numberWidth = 52.0f;
    const float gutter = 70.0f;
    const float maxEntry = (kWidth - 2.0f * 150.0f - 2.0f * gutter) / 3.0f;
    TextStyle nameStyle{42.0f, 0.06f};
    float widest = 0.0f;
    for (const char* name : kLineUp) {
        widest = std::max(widest, textWidth(condensed, name, nameStyle));
    }
    if (numberWidth + widest > maxEntry) {
        nameStyle.capHeight *= (maxEntry - numberWidth) / widest;
        widest = maxEntry - numberWidth;
    }
    const float entry = numberWidth + widest;
    const float gridLeft = (kWidth - 3.0f * entry - 2.0f * gutter) * 0.5f;
    const float firstRow = 486.0f;
    const float rowStep = 94.0f;
    Mask names(kWidth, kHeight);
    Mask numbers(kWidth, kHeight);
    Mask rules(kWidth, kHeight);
    Mask secondInk(kWidth, kHeight);
    for (int i = 0; i < 15; ++i) {
        const int column = i % 3;
        const int row = i / 3;
        const float x = gridLeft + column * (entry + gutter);
        const float baseline = firstRow + row * rowStep;
        char index[4];
        std::snprintf(index, sizeof index, "%02d", i + 1);
        drawText(numbers, monoBold, index, x, baseline, {22.0f, 0.1f});
        // The middle column is printed in the second ink, like a two-colour poster.
        drawText(column == 1 ? secondInk : names, condensed, kLineUp[i], x + numberWidth, baseline,
                 nameStyle);
        if (row < 4) {
            fillRect(rules, x, baseline + 30.0f, x + entry, baseline + 31.5f);
        }
    }
    canvas.paint(rules, amber, 0.35f);
    canvas.paint(numbers, amber, 0.8f);
    canvas.glow(blurred(names, 10.0f), amber, 0.18f);
    canvas.glow(blurred(secondInk, 10.0f), amber, 0.18f);
    canvas.paint(names, amber);
    canvas.paint(secondInk, cream());

    // Footer band printed in amber with the paper showing through the type.
    Mask band(kWidth, kHeight);
    fillRect(band, 130.0f, 944.0f, kWidth - 130.0f, 994.0f);
    canvas.paint(band, amber);
    Mask footer(kWidth, kHeight);
    drawText(footer, monoBold, "ONE NIGHT ONLY  *  SEVEN SCENES  *  DOORS AT SIXTY-SEVEN SECONDS",
             kWidth * 0.5f, 979.0f, {20.0f, 0.30f}, Align::Centre);
    canvas.paint(footer, palette::night());

    vignette(canvas, 0.35f);
    return writePictureFiles(canvas, argc, argv);
}
