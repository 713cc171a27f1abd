// The flash check on synthetic frames of known flashing, each row one case of the thresholds.
#include "flash/flash_analysis.h"
#include "flash/flash_hold.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {
constexpr int width = 160;
constexpr int height = 90;
constexpr int fps = 60;

struct Rgb {
    unsigned char r, g, b;
};
const Rgb black{0, 0, 0};
const Rgb white{255, 255, 255};

// A frame of `base`, with `patch` over the rectangle where it is shown.
struct Picture {
    Rgb base = black;
    Rgb patch = white;
    int x0 = 0, y0 = 0, x1 = width, y1 = height;
    bool patchShown = false;
};

// Toggles every `half` frames, `toggles` times in all, then stays.
bool toggled(long n, int half, int toggles) {
    const long flips = n / half;
    return (std::min<long>(flips, toggles) % 2) == 1;
}

struct Case {
    const char* name;
    int frames;
    std::function<Picture(long)> picture;
    bool pixelFails;
    bool pixelRedFails;
    bool regionFails;
};

Picture fullScreen(bool on, Rgb a, Rgb b) {
    Picture p;
    p.base = on ? b : a;
    return p;
}

Rgb grey(int v) {
    const auto c = static_cast<unsigned char>(v);
    return {c, c, c};
}

const Case cases[] = {
    {"a 5 Hz full-screen flash fails", 2 * fps,
     [](long n) { return fullScreen(toggled(n, 6, 1000), black, white); }, true, false, true},
    {"three flashes within a second pass", 2 * fps,
     [](long n) { return fullScreen(toggled(n + 6, 6, 7), black, white); }, false, false, false},
    {"four flashes within a second fail", 2 * fps,
     [](long n) { return fullScreen(toggled(n + 6, 6, 9), black, white); }, true, false, true},
    {"a slow ramp passes", 4 * fps,
     [](long n) {
         return fullScreen(false, grey(int(255 * (n < 2 * fps ? n : 4 * fps - n) / (2 * fps))),
                           black);
     },
     false, false, false},
    {"flicker whose darker state is at 0.8 passes", 2 * fps,
     [](long n) { return fullScreen(toggled(n, 3, 1000), grey(232), white); }, false, false, false},
    {"flicker whose darker state is just below 0.8 fails", 2 * fps,
     [](long n) { return fullScreen(toggled(n, 3, 1000), grey(231), white); }, true, false, true},
    {"two rises with a small dip between are one transition", 3 * fps,
     [](long n) {
         const int levels[] = {0, 170, 160, 255}; // luminance 0, 0.40, 0.35, 1
         return fullScreen(false, grey(levels[(n / 5) % 4]), black);
     },
     false, false, false},
    {"a 5 Hz red flash fails the red rule", 2 * fps,
     [](long n) {
         return fullScreen(toggled(n, 6, 1000), black, Rgb{255, 0, 0});
     },
     true, true, true},
    {"a 5 Hz flash on just over a quarter of one field fails", 2 * fps,
     [](long n) {
         Picture p;
         p.patchShown = toggled(n, 6, 1000);
         p.x0 = 60, p.y0 = 30, p.x1 = 60 + 21, p.y1 = 30 + 20; // 420 of a field's 1590 cells
         return p;
     },
     true, false, true},
    {"a 5 Hz flash in a small corner passes", 2 * fps,
     [](long n) {
         Picture p;
         p.patchShown = toggled(n, 6, 1000);
         p.x1 = 12, p.y1 = 12;
         return p;
     },
     false, false, false},
};

std::vector<unsigned char> render(const Picture& p) {
    std::vector<unsigned char> rgb(width * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool inside = p.patchShown && x >= p.x0 && x < p.x1 && y >= p.y0 && y < p.y1;
            const Rgb c = inside ? p.patch : p.base;
            unsigned char* out = &rgb[(y * width + x) * 3];
            out[0] = c.r, out[1] = c.g, out[2] = c.b;
        }
    }
    return rgb;
}

template <typename Pick> bool anySecond(const std::vector<FlashSecond>& rows, Pick pick) {
    for (const FlashSecond& r : rows) {
        if (pick(r)) {
            return true;
        }
    }
    return false;
}
} // namespace

TEST(FlashAnalysis, SyntheticFramesMeetTheThresholdsAsDefined) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FlashAnalyser analyser(fps, 0);
        for (long n = 0; n < c.frames; ++n) {
            const std::vector<unsigned char> frame = render(c.picture(n));
            analyser.addFrame(frame.data(), width, height, 3);
        }
        const std::vector<FlashSecond>& rows = analyser.seconds();
        ASSERT_EQ(rows.size(), size_t(c.frames / fps));
        EXPECT_EQ(anySecond(rows, [](const FlashSecond& r) { return r.pixelFails(); }),
                  c.pixelFails);
        EXPECT_EQ(anySecond(rows, [](const FlashSecond& r) { return r.pixelRedFails(); }),
                  c.pixelRedFails);
        EXPECT_EQ(anySecond(rows, [](const FlashSecond& r) { return r.regionFails(); }),
                  c.regionFails);
    }
}

// A bigger frame is brought down to the grid by whole blocks, and the summary names the
// failing seconds as ranges.
TEST(FlashAnalysis, LargerFramesAndTheSummary) {
    constexpr int w = 320;
    constexpr int h = 180;
    FlashAnalyser analyser(fps, 44 * fps);
    std::vector<unsigned char> rgba(w * h * 4);
    for (long n = 0; n < 4 * fps; ++n) {
        const unsigned char v = (n < 2 * fps && toggled(n, 6, 1000)) ? 255 : 0;
        for (size_t i = 0; i < rgba.size(); ++i) {
            rgba[i] = v;
        }
        analyser.addFrame(rgba.data(), w, h, 4);
    }
    const std::vector<FlashSecond>& rows = analyser.seconds();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].second, 44);
    EXPECT_EQ(rows[0].pixelFlashes, 4); // 9 transitions by the end of the first second
    EXPECT_DOUBLE_EQ(rows[1].pixelArea, 1.0);
    EXPECT_TRUE(rows[2].pixelFails());  // the last flash, at its first frame, is within a second
    EXPECT_FALSE(rows[3].pixelFails()); // the window has moved past it
    EXPECT_EQ(flashSummary(rows),
              "Flash check of 44-47 s: pixel by pixel 3 s (44-46) fail, red none; region means "
              "3 s (44-46) fail, red none; at most 5 flashes a second at one point");
    EXPECT_EQ(flashCsv(rows).substr(0, 7), "second,");
}

namespace {
float toLinear(unsigned char v) {
    const double c = v / 255.0;
    return float(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
}
unsigned char toSrgb(float v) {
    const double c = v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
    return static_cast<unsigned char>(std::lround(std::clamp(c, 0.0, 1.0) * 255));
}
} // namespace

// The limiter's decisions, applied to the grid as the GL pass applies them to each cell, leave
// nothing for the check to fail, whether cells flash on their own or only their regions' means do,
// and leave a picture that does not flash as drawn.
TEST(FlashHold, ItsPictureHasNoFailingSecond) {
    struct Pattern {
        const char* name;
        std::function<unsigned char(long n, int x, int y)> grey;
        bool failsAsDrawn;
        bool red; // the value in red alone, not grey
    };
    // Red jumping between levels every few frames, so that some runs count for the limiter (which
    // counts early) and not for the check: the transitions the check dates later must not drop
    // out of the limiter's second sooner.
    static const std::vector<unsigned char> redLevels = [] {
        std::vector<unsigned char> levels;
        unsigned state = 1;
        auto next = [&state] {
            state = state * 1664525u + 1013904223u;
            return state >> 16;
        };
        while (levels.size() < 3 * fps) {
            const auto level = static_cast<unsigned char>(next() % 256);
            levels.insert(levels.end(), 1 + next() % 6, level);
        }
        return levels;
    }();
    const Pattern patterns[] = {
        {"a 5 Hz full-screen flash", [](long n, int, int) { return toggled(n, 6, 1000) ? 255 : 0; },
         true, false},
        {"cells that each flash three times a second, half of them between the others' flashes",
         [](long n, int x, int) { return (n + (x % 2) * 10) % 20 < 3 ? 255 : 0; }, true, false},
        {"red jumping between levels", [](long n, int, int) { return redLevels[n]; }, true, true},
        {"a slow ramp",
         [](long n, int, int) { return static_cast<unsigned char>(n * 255 / (3 * fps)); }, false,
         false},
    };
    for (const Pattern& p : patterns) {
        SCOPED_TRACE(p.name);
        FlashAnalyser drawnCheck(fps, 0);
        FlashAnalyser shownCheck(fps, 0);
        FlashHold hold;
        std::vector<float> drawn(FlashHold::cells * 3);
        std::vector<unsigned char> frame(drawn.size());
        float mostHeld = 0.0f;
        for (long n = 0; n < 3 * fps; ++n) {
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const int i = y * width + x;
                    const unsigned char v = p.grey(n, x, y);
                    frame[i * 3] = v;
                    frame[i * 3 + 1] = frame[i * 3 + 2] = p.red ? 0 : v;
                    for (int c = 0; c < 3; ++c) {
                        drawn[i * 3 + c] = toLinear(frame[i * 3 + c]);
                    }
                }
            }
            drawnCheck.addFrame(frame.data(), width, height, 3);
            for (float h : hold.plan(drawn, double(n) / fps)) {
                mostHeld = std::max(mostHeld, h);
            }
            for (size_t i = 0; i < frame.size(); ++i) {
                frame[i] = toSrgb(hold.shown()[i]);
            }
            shownCheck.addFrame(frame.data(), width, height, 3);
        }
        auto fails = [](const FlashSecond& r) { return r.pixelFails() || r.regionFails(); };
        EXPECT_EQ(anySecond(drawnCheck.seconds(), fails), p.failsAsDrawn);
        EXPECT_FALSE(anySecond(shownCheck.seconds(), fails));
        EXPECT_EQ(mostHeld > 0.0f, p.failsAsDrawn);
    }
}
