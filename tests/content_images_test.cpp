// The three card pictures, decoded the way the texture loader reads them (stb_image, the
// file's own channel count, flipped so that row 0 is the bottom of the picture).

#include "support/generated_content.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <set>
#include <stb_image.h>
#include <string>
#include <vector>

namespace {
struct Picture {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<unsigned char> pixels;

    const unsigned char* at(int x, int yFromTop) const {
        return &pixels[(static_cast<size_t>(height - 1 - yFromTop) * width + x) * channels];
    }
    double luma(int x, int y) const {
        const unsigned char* p = at(x, y);
        return 0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2];
    }
};

Picture load(const std::string& relative) {
    Picture picture;
    stbi_set_flip_vertically_on_load(true);
    unsigned char* data = stbi_load(runtimeFile(relative).c_str(), &picture.width, &picture.height,
                                    &picture.channels, 0);
    if (data != nullptr) {
        picture.pixels.assign(data, data + static_cast<size_t>(picture.width) * picture.height *
                                               picture.channels);
        stbi_image_free(data);
    }
    return picture;
}

// Share of pixels for which the test holds.
template <class F> double share(const Picture& picture, F test) {
    size_t count = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            count += test(picture.at(x, y)) ? 1 : 0;
        }
    }
    return static_cast<double>(count) / (static_cast<size_t>(picture.width) * picture.height);
}

const char* const kCards[] = {"imgs/logo.png", "imgs/Tarvogreets.png", "imgs/Greets.png"};
} // namespace

TEST(GeneratedPictures, EachCardIsAnRgbSixteenByNinePictureWithRealContent) {
    for (const char* card : kCards) {
        SCOPED_TRACE(card);
        const Picture picture = load(card);
        ASSERT_FALSE(picture.pixels.empty()) << stbi_failure_reason();
        // 16:9 so that it lands undistorted on the 960 x 540 card; three channels, GL_RGB.
        EXPECT_EQ(picture.width, 1920);
        EXPECT_EQ(picture.height, 1080);
        EXPECT_EQ(picture.channels, 3);

        double sum = 0.0;
        double squares = 0.0;
        std::set<int> colours;
        for (int y = 0; y < picture.height; y += 3) {
            for (int x = 0; x < picture.width; x += 3) {
                const double l = picture.luma(x, y);
                sum += l;
                squares += l * l;
                const unsigned char* p = picture.at(x, y);
                colours.insert(p[0] << 16 | p[1] << 8 | p[2]);
            }
        }
        const double n = (picture.width / 3) * (picture.height / 3);
        const double deviation = std::sqrt(squares / n - (sum / n) * (sum / n));
        EXPECT_GT(deviation, 12.0) << "nearly uniform: blank or washed out";
        EXPECT_GT(colours.size(), 2000u) << "too few colours for a designed picture";
    }
}

TEST(GeneratedPictures, LogoMeltsIntoTheClearColourAndRunsFromVioletToCyan) {
    const Picture logo = load("imgs/logo.png");
    ASSERT_FALSE(logo.pixels.empty());
    // The title clears to (0.021, 0.01, 0.012): in 8 bits (5, 3, 3). The border must match
    // it (within the dither), so the card's edge disappears into the screen.
    const int clear[3] = {5, 3, 3};
    for (int x = 0; x < logo.width; x += 7) {
        for (int y : {0, 1, logo.height - 2, logo.height - 1}) {
            for (int c = 0; c < 3; ++c) {
                ASSERT_NEAR(logo.at(x, y)[c], clear[c], 2) << "at " << x << ", " << y;
            }
        }
    }
    for (int y = 0; y < logo.height; y += 7) {
        for (int x : {0, logo.width - 1}) {
            for (int c = 0; c < 3; ++c) {
                ASSERT_NEAR(logo.at(x, y)[c], clear[c], 2) << "at " << x << ", " << y;
            }
        }
    }
    // The wordmark across the middle: its left letters violet (red over green), its right
    // letters cyan (green over red), both bright.
    auto brightAverage = [&](int x0, int x1) {
        double sum[3] = {0, 0, 0};
        int count = 0;
        for (int y = 420; y < 620; ++y) {
            for (int x = x0; x < x1; ++x) {
                if (logo.luma(x, y) > 90.0) {
                    for (int c = 0; c < 3; ++c) {
                        sum[c] += logo.at(x, y)[c];
                    }
                    ++count;
                }
            }
        }
        EXPECT_GT(count, 2000) << "no bright lettering between x " << x0 << " and " << x1;
        return std::vector<double>{sum[0] / count, sum[1] / count, sum[2] / count};
    };
    const std::vector<double> left = brightAverage(250, 600);
    const std::vector<double> right = brightAverage(1320, 1670);
    EXPECT_GT(left[0], left[1] + 40.0);
    EXPECT_GT(right[1], right[0] + 40.0);
    EXPECT_GT(right[2], 200.0);
}

TEST(GeneratedPictures, PosterIsAmberOnVioletAndRadarCardIsCyanOnNight) {
    const Picture poster = load("imgs/Tarvogreets.png");
    ASSERT_FALSE(poster.pixels.empty());
    const double violet =
        share(poster, [](const unsigned char* p) { return p[2] > p[1] + 15 && p[0] > p[1]; });
    const double amber = share(poster, [](const unsigned char* p) {
        return p[0] > 200 && p[1] > 120 && p[1] < 215 && p[2] < 150;
    });
    EXPECT_GT(violet, 0.6) << "the paper should be violet";
    EXPECT_GT(amber, 0.02) << "too little amber ink";

    const Picture radar = load("imgs/Greets.png");
    ASSERT_FALSE(radar.pixels.empty());
    const double night =
        share(radar, [](const unsigned char* p) { return p[0] + p[1] + p[2] < 90; });
    const double cyan =
        share(radar, [](const unsigned char* p) { return p[2] > 190 && p[1] > 150 && p[0] < 130; });
    EXPECT_GT(night, 0.7) << "the background should be the night colour";
    EXPECT_GT(cyan, 0.01) << "too little cyan lettering";
}

TEST(GeneratedPictures, LogoGeneratorIsReproducible) {
    expectReproducible("logo", "imgs/logo.png");
}

TEST(GeneratedPictures, PosterGeneratorIsReproducible) {
    expectReproducible("tarvogreets", "imgs/Tarvogreets.png");
}

TEST(GeneratedPictures, RadarCardGeneratorIsReproducible) {
    expectReproducible("greets", "imgs/Greets.png");
}
