#pragma once
#include "flash/flash_signal.h"

#include <string>
#include <vector>

// The demo's flashing measured from its own frames against the WCAG 2.x general-flash and
// red-flash thresholds. Each frame is brought down to a 160 x 90 grid of cells (the mean of its
// pixels in linear light), which is fine enough for a field a third of the screen wide and high
// and costs little beside rendering.
//
// Luminance is the relative luminance of linearised sRGB. A transition is a run of changes in
// one direction adding up to at least 0.1, where the darker end is below 0.8. A red transition
// is a run changing max(0, (R - G - B) * 320) by more than 20, where one end is saturated red,
// R / (R + G + B) >= 0.8. A flash is a transition followed by an opposing one; a second transition
// the same way as the one before it starts no flash.
//
// Two readings:
// - pixel by pixel: each cell counts its own flashes; a moment fails where the cells that flashed
//   more than three times within the last second cover more than a quarter of some field;
// - region means: the mean of each field-sized region (a 5 x 5 grid of overlapping fields) and of
//   the whole frame is one signal, which fails where it flashed more than three times within the
//   last second.

// What one second of the demo showed at its worst moment.
struct FlashSecond {
    long second = 0;      // demo seconds [second, second + 1)
    std::string scene;    // what the caller names it; "" for none
    int pixelFlashes = 0; // most flashes within a second at any one cell
    double pixelArea = 0; // largest share of a field covered by cells flashing more than 3 times
    int pixelRedFlashes = 0;
    double pixelRedArea = 0;
    int regionFlashes = 0; // most flashes within a second of any region's mean
    int regionRedFlashes = 0;

    bool pixelFails() const { return pixelArea > 0.25 || pixelRedArea > 0.25; }
    bool pixelRedFails() const { return pixelRedArea > 0.25; }
    bool regionFails() const { return regionFlashes > 3 || regionRedFlashes > 3; }
    bool regionRedFails() const { return regionRedFlashes > 3; }
};

class FlashAnalyser {
  public:
    static constexpr int gridWidth = 160;
    static constexpr int gridHeight = 90;

    // Frames come at `fps` a second; the first one added is frame `firstFrame` of the demo
    // (its seconds are firstFrame / fps).
    FlashAnalyser(int fps, long firstFrame);

    // The next frame: `channels` bytes a pixel (3 for RGB8, 4 for RGBA8, alpha unused), sRGB,
    // rows in either order. At least one pixel each way.
    void addFrame(const unsigned char* pixels, int width, int height, int channels);

    // One row per second that a frame fell in, in time order.
    const std::vector<FlashSecond>& seconds() const { return rows; }

  private:
    // Feeds one value; returns the transitions within the last second.
    int step(FlashTrack& track, float value, bool flag, float threshold);

    int fps;
    long frame;
    std::vector<float> cellRgb; // linear RGB of each cell of the current frame
    std::vector<FlashTrack> cellLight;
    std::vector<FlashTrack> cellRed;
    std::vector<FlashTrack> regionLight; // the 25 fields, then the whole frame
    std::vector<FlashTrack> regionRed;
    std::vector<int> flashingLight; // cells past three flashes, as 0 or 1
    std::vector<int> flashingRed;
    std::vector<FlashSecond> rows;

    void downscale(const unsigned char* pixels, int width, int height, int channels);
    FlashSecond& rowFor(long second);
};

// Writes the rows as CSV with a header line.
std::string flashCsv(const std::vector<FlashSecond>& rows);

// One line that sums the rows up: the failing seconds of each reading, as ranges.
std::string flashSummary(const std::vector<FlashSecond>& rows);
