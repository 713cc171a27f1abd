// The finale's environment "imgs/vellmar.512.hdr": a late-afternoon sky over a tiled floor, as
// a 1024 x 512 equirectangular Radiance HDR image in linear radiance.
//
// Every value is a function of the 3D view direction only (never of the pixel's u, v), so the
// left and right edges meet without a seam and the poles do not pinch. Pixel (column i, row j)
// looks along azimuth phi = 2 pi ((i + 0.5) / 1024 - 0.5), measured as atan2(z, x), and
// elevation pi (0.5 - (j + 0.5) / 512), row 0 being the zenith; y is up. So u = atan2(z, x) /
// 2 pi + 0.5 and v = asin(y) / pi + 0.5 address the image once it is loaded bottom row first.

#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <thread>
#include <vector>

namespace {
constexpr int kWidth = 1024;
constexpr int kHeight = 512;
constexpr int kSub = 3; // samples per pixel along each axis
constexpr double kPi = 3.14159265358979323846;

struct Vec3 {
    double x, y, z;
};
Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator*(Vec3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
Vec3 mix(Vec3 a, Vec3 b, double t) {
    return a * (1.0 - t) + b * t;
}
double dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
double smoothstep(double e0, double e1, double x) {
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// The sun: 20 degrees up, behind and to the right of the finale's camera (which looks along +z),
// so mirror spheres show it and rough ones are lit from the front.
const double kSunElevation = 20.0 * kPi / 180.0;
const double kSunAzimuth = -50.0 * kPi / 180.0; // atan2(z, x)
const Vec3 kSunDir{std::cos(kSunElevation) * std::cos(kSunAzimuth), std::sin(kSunElevation),
                   std::cos(kSunElevation) * std::sin(kSunAzimuth)};
const double kSunRadius = 0.8 * kPi / 180.0; // angular radius, larger than life to read on screen
const Vec3 kSunRadiance{3300.0, 2700.0, 1900.0}; // thousands of times the sky: a real HDR sun

// Colours of the sky, in linear radiance.
const Vec3 kZenith{0.045, 0.10, 0.34};
const Vec3 kUpperSky{0.20, 0.38, 0.85};
const Vec3 kHorizon{1.05, 0.66, 0.40}; // warm haze
const Vec3 kSunGlow{1.45, 1.00, 0.52}; // forward scattering around the sun
const Vec3 kCloudLit{1.25, 1.05, 0.92};
const Vec3 kCloudShade{0.36, 0.30, 0.42};
const Vec3 kTileDark{0.022, 0.020, 0.026};
const Vec3 kTileLight{0.105, 0.080, 0.062};
const Vec3 kGrout{0.30, 0.20, 0.11};

// 2D value noise from an integer hash, smoothed with a quintic fade; fbm sums octaves.
double hash2(int64_t x, int64_t y) {
    uint64_t h = static_cast<uint64_t>(x) * 0x9e3779b97f4a7c15ull ^
                 static_cast<uint64_t>(y) * 0xc2b2ae3d27d4eb4full ^ 0x5eed5eed5eedull;
    h ^= h >> 31;
    h *= 0xbf58476d1ce4e5b9ull;
    h ^= h >> 29;
    return (h >> 11) * (1.0 / 9007199254740992.0);
}

double valueNoise(double x, double y) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const auto ix = static_cast<int64_t>(fx);
    const auto iy = static_cast<int64_t>(fy);
    auto fade = [](double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); };
    const double tx = fade(x - fx);
    const double ty = fade(y - fy);
    const double a = hash2(ix, iy) + (hash2(ix + 1, iy) - hash2(ix, iy)) * tx;
    const double b = hash2(ix, iy + 1) + (hash2(ix + 1, iy + 1) - hash2(ix, iy + 1)) * tx;
    return a + (b - a) * ty;
}

double fbm(double x, double y) {
    double sum = 0.0;
    double amplitude = 0.5;
    for (int octave = 0; octave < 5; ++octave) {
        sum += amplitude * valueNoise(x, y);
        // Rotate between octaves so the lattice does not line up.
        const double nx = 1.6 * x - 1.2 * y + 17.0;
        y = 1.2 * x + 1.6 * y + 3.0;
        x = nx;
        amplitude *= 0.5;
    }
    return sum;
}

// The sky above the horizon (d.y >= 0), without the sun disc.
Vec3 sky(Vec3 d) {
    const double up = std::max(d.y, 0.0);
    Vec3 c = mix(kZenith, kUpperSky, std::pow(1.0 - up, 2.5));
    c = mix(c, kHorizon, std::exp(-up * 9.0));
    // Forward scattering: a wide warm glow and a tight aureole around the sun.
    const double cosGamma = dot(d, kSunDir);
    // It replaces some of the blue rather than adding to it, so the sun's surroundings turn
    // golden instead of lilac.
    const double towardsSun = std::max(cosGamma, 0.0);
    c = mix(c, kSunGlow, 0.6 * std::pow(towardsSun, 8.0)) +
        kSunGlow * (0.25 * std::pow(towardsSun, 3.0) + 2.5 * std::exp((cosGamma - 1.0) * 400.0));

    // Cloud bands on a layer at height 1: streaks stretched along one axis, which perspective
    // crowds into bands towards the horizon; they thin out before it.
    if (up > 0.015) {
        const double px = d.x / up;
        const double pz = d.z / up;
        const double along = 0.8 * px + 0.6 * pz;
        const double across = -0.6 * px + 0.8 * pz;
        const double warp = fbm(along * 0.5, across * 1.6);
        const double bands = 0.5 + 0.5 * std::sin(across * 3.2 + warp * 5.0);
        const double detail = fbm(along * 1.4 + 40.0, across * 4.5);
        double density = smoothstep(0.5, 0.95, bands * (0.5 + 0.8 * detail));
        // Clouds keep to the middle of the sky: a clear deep zenith, a clean hazy horizon.
        density *= smoothstep(0.03, 0.2, up) * (1.0 - smoothstep(0.45, 0.8, up)) * 0.8;
        const double lit = 0.5 + 0.5 * std::max(cosGamma, 0.0);
        const Vec3 cloud = mix(kCloudShade, kCloudLit, lit * (0.55 + 0.45 * detail)) +
                           kSunGlow * (1.5 * std::pow(std::max(cosGamma, 0.0), 24.0));
        c = mix(c, cloud, density);
    }
    return c;
}

// The floor, a plane at height -1: broad tiles in two tones with light joints, fading into the
// horizon haze with distance.
Vec3 ground(Vec3 d) {
    const double down = std::max(-d.y, 1e-6);
    const double distance = 1.0 / down;
    const double px = d.x * distance;
    const double pz = d.z * distance;
    const double tile = 1.6;
    const double gx = px / tile;
    const double gz = pz / tile;
    const bool light =
        ((static_cast<int64_t>(std::floor(gx)) + static_cast<int64_t>(std::floor(gz))) & 1) != 0;
    Vec3 c = light ? kTileLight : kTileDark;
    const double jx = std::fabs(gx - std::round(gx));
    const double jz = std::fabs(gz - std::round(gz));
    const double joint = 1.0 - smoothstep(0.012, 0.022, std::min(jx, jz));
    c = mix(c, kGrout, joint);
    // The sun lights the floor a little from its side.
    const double cosGamma = dot(Vec3{d.x, 0.0, d.z}, kSunDir);
    c = c * (0.85 + 0.35 * std::max(cosGamma, 0.0));
    // Haze swallows the far tiles; it stops short of the sky's horizon so the floor keeps an edge.
    const double fog = 1.0 - std::exp(-distance / 18.0);
    const Vec3 haze = kHorizon + kSunGlow * (0.55 * std::pow(std::max(cosGamma, 0.0), 6.0));
    return mix(c, haze * 0.45, fog);
}

Vec3 radiance(Vec3 d) {
    if (d.y < 0.0) {
        return ground(d);
    }
    Vec3 c = sky(d);
    // The sun disc, slightly darker at its limb.
    const double angle = std::acos(std::clamp(dot(d, kSunDir), -1.0, 1.0));
    if (angle < kSunRadius) {
        const double r = angle / kSunRadius;
        c = c + kSunRadiance * (1.0 - 0.35 * (1.0 - std::sqrt(1.0 - r * r)));
    }
    return c;
}

Vec3 direction(double azimuth, double elevation) {
    return {std::cos(elevation) * std::cos(azimuth), std::sin(elevation),
            std::cos(elevation) * std::sin(azimuth)};
}

// Rows [first, last): the average of kSub x kSub directions spread over each pixel.
void renderRows(std::vector<float>& image, int first, int last) {
    for (int j = first; j < last; ++j) {
        for (int i = 0; i < kWidth; ++i) {
            Vec3 sum{0.0, 0.0, 0.0};
            for (int sj = 0; sj < kSub; ++sj) {
                for (int si = 0; si < kSub; ++si) {
                    const double u = (i + (si + 0.5) / kSub) / kWidth;
                    const double v = (j + (sj + 0.5) / kSub) / kHeight;
                    sum = sum + radiance(direction((u - 0.5) * 2.0 * kPi, (0.5 - v) * kPi));
                }
            }
            sum = sum * (1.0 / (kSub * kSub));
            float* out = &image[(static_cast<size_t>(j) * kWidth + i) * 3];
            out[0] = static_cast<float>(sum.x);
            out[1] = static_cast<float>(sum.y);
            out[2] = static_cast<float>(sum.z);
        }
    }
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s output.hdr\n", argv[0]);
        return 2;
    }
    // Two workers, one half of the rows each; each pixel is computed the same way whichever
    // thread does it, so the file does not depend on the split.
    std::vector<float> image(static_cast<size_t>(kWidth) * kHeight * 3);
    std::thread worker([&] { renderRows(image, 0, kHeight / 2); });
    renderRows(image, kHeight / 2, kHeight);
    worker.join();
    if (!stbi_write_hdr(argv[1], kWidth, kHeight, 3, image.data())) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
