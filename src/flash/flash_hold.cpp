#include "flash/flash_hold.h"

#include "flash/flash_fields.h"
#include "flash/flash_signal.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr float lightChange = 0.09f;
constexpr float redChange = 12.0f;
// Held runs stop this far short of the change that counts.
constexpr float shortOf = 0.94f;
// Seven transitions are at most three flashes; the window is a little longer than a second so
// that frame times rounded either way still fall in it.
constexpr int mostTransitions = 7;
constexpr double window = 1.02;
constexpr FlashTrack::Dated dated = FlashTrack::Dated::byLastFrame;
// Steps back smaller than about a byte of the picture do not turn a run.
constexpr float lightNoise = 0.01f;
constexpr float redNoise = 4.0f;
constexpr float unbounded = std::numeric_limits<float>::infinity();
constexpr int holdSteps = 255; // the hold texture's precision; holds are rounded up to it

using flashsignal::luminance;
using flashsignal::redLinear;

// The least hold that brings mix(drawn, shown, hold) into [low, high], where shown lies in it.
float holdInto(float drawn, float shown, float low, float high) {
    if (drawn > high && drawn > shown) {
        return std::min(1.0f, (drawn - high) / (drawn - shown));
    }
    if (drawn < low && drawn < shown) {
        return std::min(1.0f, (low - drawn) / (shown - drawn));
    }
    return 0.0f;
}

void mixInto(float* out, const float* drawn, const float* shown, float hold) {
    for (int c = 0; c < 3; ++c) {
        out[c] = drawn[c] + (shown[c] - drawn[c]) * hold;
    }
}
} // namespace

FlashHold::FlashHold()
    : shownRgb(cells * 3), holds(cells), proposed(cells * 3),
      cellLight(cells, FlashTrack(dated, lightNoise)), cellRed(cells, FlashTrack(dated, redNoise)),
      regionLight(flashgrid::regions, FlashTrack(dated, lightNoise)),
      regionRed(flashgrid::regions, FlashTrack(dated, redNoise)) {}

void FlashHold::reset() {
    for (auto* tracks : {&cellLight, &cellRed, &regionLight, &regionRed}) {
        for (FlashTrack& track : *tracks) {
            track.reset();
        }
    }
    started = false;
}

FlashHold::Range FlashHold::allowed(FlashTrack& t, double seconds, float threshold) {
    t.expire(seconds - window);
    if (!t.primed() || t.transitions() < mostTransitions) {
        return {-unbounded, unbounded};
    }
    const float reach = threshold * shortOf;
    // Turning back starts a run where this one went furthest; going on keeps the run's start.
    const float furthest = t.furthest();
    Range r{furthest - reach, furthest + reach};
    if (t.direction() > 0) {
        r.high = t.runCounted() ? unbounded : std::max(furthest, t.runStart() + reach);
    } else if (t.direction() < 0) {
        r.low = t.runCounted() ? -unbounded : std::min(furthest, t.runStart() - reach);
    }
    return r;
}

void FlashHold::record(FlashTrack& t, float value, double seconds, float threshold) {
    t.add(value, true, threshold, seconds);
}

const std::vector<float>& FlashHold::plan(const std::vector<float>& drawn, double seconds) {
    if (!started) {
        shownRgb = drawn;
        started = true;
    }
    // Each cell on its own.
    for (int i = 0; i < cells; ++i) {
        const float* now = &drawn[i * 3];
        const float* before = &shownRgb[i * 3];
        const Range light = allowed(cellLight[i], seconds, lightChange);
        const Range red = allowed(cellRed[i], seconds, redChange);
        float hold = holdInto(luminance(now), luminance(before), light.low, light.high);
        // The red value is cut at 0, so a bound at or below 0 asks nothing.
        hold = std::max(hold, holdInto(redLinear(now), redLinear(before),
                                       red.low > 0.0f ? red.low : -unbounded, red.high));
        holds[i] = hold;
    }
    // Then the regions, whose means can flash while each cell stays within its own limit. A hold
    // on one region moves the means of those overlapping it, so they are looked at again.
    std::vector<Range> lightRanges(flashgrid::regions);
    std::vector<Range> redRanges(flashgrid::regions);
    for (int r = 0; r < flashgrid::regions; ++r) {
        lightRanges[r] = allowed(regionLight[r], seconds, lightChange);
        redRanges[r] = allowed(regionRed[r], seconds, redChange);
    }
    auto regionMeans = [&](const flashgrid::Rect& box, float* out, float* before) {
        std::fill(out, out + 3, 0.0f);
        std::fill(before, before + 3, 0.0f);
        for (int y = box.y0; y < box.y0 + box.height; ++y) {
            for (int x = box.x0; x < box.x0 + box.width; ++x) {
                const int i = y * gridWidth + x;
                for (int c = 0; c < 3; ++c) {
                    out[c] += proposed[i * 3 + c];
                    before[c] += shownRgb[i * 3 + c];
                }
            }
        }
        const float scale = 1.0f / float(box.width * box.height);
        for (int c = 0; c < 3; ++c) {
            out[c] *= scale;
            before[c] *= scale;
        }
    };
    constexpr int rounds = 8;
    for (int round = 0; round <= rounds; ++round) {
        for (int i = 0; i < cells; ++i) {
            holds[i] = std::ceil(holds[i] * holdSteps - 1e-3f) / holdSteps;
            mixInto(&proposed[i * 3], &drawn[i * 3], &shownRgb[i * 3], holds[i]);
        }
        bool held = false;
        for (int r = 0; r < flashgrid::regions; ++r) {
            const flashgrid::Rect box = flashgrid::region(r);
            float out[3];
            float before[3];
            regionMeans(box, out, before);
            const Range red = redRanges[r];
            float g = holdInto(luminance(out), luminance(before), lightRanges[r].low,
                               lightRanges[r].high);
            g = std::max(g, holdInto(redLinear(out), redLinear(before),
                                     red.low > 0.0f ? red.low : -unbounded, red.high));
            if (g <= 0.0f) {
                continue;
            }
            // The last round shows the region as before, which is always within its limit.
            if (round == rounds) {
                g = 1.0f;
            }
            held = true;
            for (int y = box.y0; y < box.y0 + box.height; ++y) {
                for (int x = box.x0; x < box.x0 + box.width; ++x) {
                    float& h = holds[y * gridWidth + x];
                    h = 1.0f - (1.0f - h) * (1.0f - g);
                }
            }
        }
        if (!held) {
            break;
        }
    }
    for (int i = 0; i < cells; ++i) {
        holds[i] = std::ceil(holds[i] * holdSteps - 1e-3f) / holdSteps;
        mixInto(&shownRgb[i * 3], &drawn[i * 3], &shownRgb[i * 3], holds[i]);
        record(cellLight[i], luminance(&shownRgb[i * 3]), seconds, lightChange);
        record(cellRed[i], std::max(0.0f, redLinear(&shownRgb[i * 3])), seconds, redChange);
    }
    proposed = shownRgb;
    for (int r = 0; r < flashgrid::regions; ++r) {
        float out[3];
        float before[3];
        regionMeans(flashgrid::region(r), out, before);
        record(regionLight[r], luminance(out), seconds, lightChange);
        record(regionRed[r], std::max(0.0f, redLinear(out)), seconds, redChange);
    }
    return holds;
}
