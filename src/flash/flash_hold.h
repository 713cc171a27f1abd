#pragma once
#include "flash/flash_signal.h"

#include <vector>

// The decisions of the flash limiter, on the 160 x 90 cells the flash check reads (the mean of
// each cell in linear light). For every cell it says how far to hold the picture back towards
// what was shown the frame before, so that no cell, no field-sized region and not the whole frame
// make a fourth flash within a second.
//
// Each signal (a cell's or a region's luminance and its red value) keeps its current run and the
// times of its recent transitions. While a second already holds seven of them, a change that
// would complete another is held back to just short of a transition: the run may go on as far as
// it already went, or turn back by less than one. Otherwise the picture shows as drawn. It
// counts with the check's own code, but a little earlier (at 0.09 luminance and 12 red, darker
// state and saturation aside) and dating each transition by the last frame of its runs, so that
// the small differences between its estimate of the picture and the frame as recorded cannot add
// a flash the check would see.
class FlashHold {
  public:
    static constexpr int gridWidth = 160;
    static constexpr int gridHeight = 90;
    static constexpr int cells = gridWidth * gridHeight;

    FlashHold();

    // `drawn`: the linear RGB of each cell of the frame as drawn, rows bottom-up or top-down as
    // long as every frame is the same. Returns the hold of each cell, 0 (as drawn) to 1 (as
    // shown before); the shown picture is then mix(drawn, shown, hold) in linear light.
    const std::vector<float>& plan(const std::vector<float>& drawn, double seconds);

    // Forgets the history: the next frame is shown as drawn.
    void reset();

    // What it expects each cell shows now, linear RGB.
    const std::vector<float>& shown() const { return shownRgb; }

  private:
    struct Range {
        float low;
        float high;
    };
    static Range allowed(FlashTrack& track, double seconds, float threshold);
    static void record(FlashTrack& track, float value, double seconds, float threshold);

    std::vector<float> shownRgb;
    std::vector<float> holds;
    std::vector<float> proposed;
    std::vector<FlashTrack> cellLight;
    std::vector<FlashTrack> cellRed;
    std::vector<FlashTrack> regionLight;
    std::vector<FlashTrack> regionRed;
    bool started = false;
};
