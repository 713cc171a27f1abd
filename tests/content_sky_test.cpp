// The finale's HDR sky, decoded the way the environment capture reads it: stbi_loadf with
// vertical flip, so row 0 is the bottom of the picture (the nadir) and the last row the zenith.

#include "support/generated_content.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <stb_image.h>
#include <vector>

namespace {
constexpr double kPi = 3.14159265358979;

struct Sky {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<float> rgb;

    const float* at(int x, int row) const {
        return &rgb[(static_cast<size_t>(row) * width + x) * 3];
    }
    double luminance(int x, int row) const {
        const float* p = at(x, row);
        return 0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2];
    }
    // Elevation in degrees of a row's centre (row 0 at the bottom).
    double elevation(int row) const { return (row + 0.5) / height * 180.0 - 90.0; }
    int rowAt(double elevationDegrees) const {
        return static_cast<int>((elevationDegrees + 90.0) / 180.0 * height);
    }
    // Mean of the channel c over a band of elevations, all azimuths.
    double bandMean(double from, double to, int c) const {
        double sum = 0.0;
        int count = 0;
        for (int row = rowAt(from); row < rowAt(to); ++row) {
            for (int x = 0; x < width; ++x) {
                sum += c < 3 ? at(x, row)[c] : luminance(x, row);
                ++count;
            }
        }
        return sum / count;
    }
};

Sky load() {
    Sky sky;
    stbi_set_flip_vertically_on_load(true);
    float* data = stbi_loadf(runtimeFile("imgs/vellmar.512.hdr").c_str(), &sky.width, &sky.height,
                             &sky.channels, 0);
    if (data != nullptr) {
        sky.rgb.assign(data, data + static_cast<size_t>(sky.width) * sky.height * 3);
        stbi_image_free(data);
    }
    return sky;
}
} // namespace

TEST(GeneratedSky, IsATenTwentyFourByFiveTwelveRadianceImageOfFiniteRadiance) {
    const Sky sky = load();
    ASSERT_FALSE(sky.rgb.empty()) << stbi_failure_reason();
    EXPECT_EQ(sky.width, 1024);
    EXPECT_EQ(sky.height, 512);
    EXPECT_EQ(sky.channels, 3);
    for (float v : sky.rgb) {
        ASSERT_TRUE(std::isfinite(v) && v >= 0.0f);
    }
}

TEST(GeneratedSky, SunOutshinesTheSkyThousandsOfTimesTwentyDegreesUp) {
    const Sky sky = load();
    ASSERT_FALSE(sky.rgb.empty());
    std::vector<double> all;
    double brightest = 0.0;
    int sunRow = 0;
    for (int row = 0; row < sky.height; ++row) {
        for (int x = 0; x < sky.width; ++x) {
            const double l = sky.luminance(x, row);
            all.push_back(l);
            if (l > brightest) {
                brightest = l;
                sunRow = row;
            }
        }
    }
    std::nth_element(all.begin(), all.begin() + all.size() / 2, all.end());
    const double median = all[all.size() / 2];
    RecordProperty("sun_to_median", std::to_string(brightest / median));
    EXPECT_GE(brightest, 1000.0 * median) << "not a real HDR sun";
    EXPECT_NEAR(sky.elevation(sunRow), 20.0, 1.5);
    // Still within what a 16-bit float texture holds.
    EXPECT_LT(brightest, 60000.0);
}

TEST(GeneratedSky, WrapsWithoutASeamAndKeepsThePolesSmooth) {
    const Sky sky = load();
    ASSERT_FALSE(sky.rgb.empty());
    // The last and first columns are neighbours on the sphere: they may differ no more than
    // neighbouring columns typically do.
    auto columnStep = [&](int a, int b) {
        double sum = 0.0;
        for (int row = 0; row < sky.height; ++row) {
            sum += std::fabs(sky.luminance(a, row) - sky.luminance(b, row)) /
                   (sky.luminance(a, row) + sky.luminance(b, row) + 1e-6);
        }
        return sum / sky.height;
    };
    double typical = 0.0;
    for (int x = 0; x + 1 < sky.width; ++x) {
        typical += columnStep(x, x + 1);
    }
    typical /= sky.width - 1;
    EXPECT_LT(columnStep(sky.width - 1, 0), 3.0 * typical + 1e-4);

    // The rows next to each pole all look in almost the same direction: no streaks.
    for (int row : {0, sky.height - 1}) {
        double lo = 1e30;
        double hi = 0.0;
        for (int x = 0; x < sky.width; ++x) {
            lo = std::min(lo, sky.luminance(x, row));
            hi = std::max(hi, sky.luminance(x, row));
        }
        EXPECT_LT(hi / lo, 1.05) << "row " << row << " varies around the pole";
    }
}

TEST(GeneratedSky, DeepBlueZenithWarmHazeAndADarkerTiledFloor) {
    const Sky sky = load();
    ASSERT_FALSE(sky.rgb.empty());
    EXPECT_GT(sky.bandMean(80, 90, 2), 2.0 * sky.bandMean(80, 90, 0)) << "zenith not blue";
    EXPECT_GT(sky.bandMean(0.5, 3, 0), sky.bandMean(0.5, 3, 2)) << "horizon haze not warm";
    // Floor below the sky, by a clear margin, but not black.
    const double floor = sky.bandMean(-70, -10, 3);
    EXPECT_LT(floor, 0.5 * sky.bandMean(30, 70, 3));
    EXPECT_GT(floor, 0.01);
    // Tiles: along one ring of the floor, light and dark alternate many times.
    const int row = sky.rowAt(-20.0);
    double mean = 0.0;
    for (int x = 0; x < sky.width; ++x) {
        mean += sky.luminance(x, row) / sky.width;
    }
    int crossings = 0;
    for (int x = 1; x < sky.width; ++x) {
        crossings += (sky.luminance(x - 1, row) < mean) != (sky.luminance(x, row) < mean) ? 1 : 0;
    }
    EXPECT_GE(crossings, 8);
}

TEST(GeneratedSky, GeneratorIsReproducible) {
    expectReproducible("sky", "imgs/vellmar.512.hdr");
}
