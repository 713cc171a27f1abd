#pragma once
// Colours in linear light: pictures are composed in linear space (glows add up the way light
// does) and encoded to sRGB only when written.

#include <cmath>
#include <cstdint>

struct Color {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

inline float srgbToLinear(float c) {
    return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
}

inline float linearToSrgb(float c) {
    return c <= 0.0031308f ? c * 12.92f : 1.055f * std::pow(c, 1.0f / 2.4f) - 0.055f;
}

// An sRGB colour as written in the art direction (#a23bff), converted to linear.
inline Color hexColor(uint32_t rgb) {
    return {srgbToLinear(((rgb >> 16) & 0xff) / 255.0f), srgbToLinear(((rgb >> 8) & 0xff) / 255.0f),
            srgbToLinear((rgb & 0xff) / 255.0f)};
}

// An sRGB colour given as three 0..1 values, like a GL clear colour.
inline Color srgbColor(float r, float g, float b) {
    return {srgbToLinear(r), srgbToLinear(g), srgbToLinear(b)};
}

inline Color mix(Color a, Color b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline Color operator*(Color c, float s) {
    return {c.r * s, c.g * s, c.b * s};
}
inline Color operator+(Color a, Color b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

inline float clamp01(float x) {
    return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x);
}

inline float smoothstep(float e0, float e1, float x) {
    const float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

// The Heptad palette.
namespace palette {
inline Color clearColour() {
    return srgbColor(0.021f, 0.01f, 0.012f);
}
inline Color night() {
    return hexColor(0x1a0b2e);
}
inline Color violet() {
    return hexColor(0xa23bff);
}
inline Color cyan() {
    return hexColor(0x25d7ff);
}
inline Color amber() {
    return hexColor(0xffb347);
}
inline Color white() {
    return {1.0f, 1.0f, 1.0f};
}
} // namespace palette
