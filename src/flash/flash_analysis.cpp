#include "flash/flash_analysis.h"

#include "flash/flash_fields.h"
#include "flash/flash_signal.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace {
using flashgrid::cells;
using flashgrid::fieldCells;
using flashgrid::fieldHeight;
using flashgrid::fieldWidth;
constexpr int regionCount = flashgrid::regions;
constexpr float lightChange = 0.1f;
constexpr float darkerBelow = 0.8f;
// "More than 20"; the smallest step above it.
constexpr float redChange = 20.0001f;
constexpr float saturatedRed = 0.8f;
constexpr int flashLimit = 3;

using flashsignal::luminance;
using flashsignal::redness;
bool isSaturatedRed(const float* rgb) {
    const float sum = rgb[0] + rgb[1] + rgb[2];
    return sum > 0.0f && rgb[0] >= saturatedRed * sum;
}

// The largest share of any field covered by set cells, through a summed-area table.
double largestFieldShare(const std::vector<int>& set) {
    constexpr int w = FlashAnalyser::gridWidth;
    constexpr int h = FlashAnalyser::gridHeight;
    static std::vector<int> sums((w + 1) * (h + 1));
    for (int y = 0; y < h; ++y) {
        int row = 0;
        for (int x = 0; x < w; ++x) {
            row += set[y * w + x];
            sums[(y + 1) * (w + 1) + x + 1] = sums[y * (w + 1) + x + 1] + row;
        }
    }
    int most = 0;
    for (int y = 0; y + fieldHeight <= h; ++y) {
        for (int x = 0; x + fieldWidth <= w; ++x) {
            const int inside = sums[(y + fieldHeight) * (w + 1) + x + fieldWidth] -
                               sums[y * (w + 1) + x + fieldWidth] -
                               sums[(y + fieldHeight) * (w + 1) + x] + sums[y * (w + 1) + x];
            most = std::max(most, inside);
        }
    }
    return double(most) / fieldCells;
}
} // namespace

FlashAnalyser::FlashAnalyser(int fps, long firstFrame)
    : fps(std::max(1, fps)), frame(firstFrame), cellRgb(cells * 3), cellLight(cells),
      cellRed(cells), regionLight(regionCount), regionRed(regionCount), flashingLight(cells),
      flashingRed(cells) {}

int FlashAnalyser::step(FlashTrack& track, float value, bool flag, float threshold) {
    track.expire(double(frame - fps));
    track.add(value, flag, threshold, double(frame));
    return track.transitions();
}

void FlashAnalyser::downscale(const unsigned char* pixels, int width, int height, int channels) {
    const std::array<float, 256>& linear = flashsignal::linearTable();
    std::fill(cellRgb.begin(), cellRgb.end(), 0.0f);
    for (int cy = 0; cy < gridHeight; ++cy) {
        const int y0 = cy * height / gridHeight;
        const int y1 = std::max(y0 + 1, (cy + 1) * height / gridHeight);
        for (int cx = 0; cx < gridWidth; ++cx) {
            const int x0 = cx * width / gridWidth;
            const int x1 = std::max(x0 + 1, (cx + 1) * width / gridWidth);
            float sum[3] = {0.0f, 0.0f, 0.0f};
            for (int y = y0; y < y1; ++y) {
                const unsigned char* p = pixels + (size_t(y) * width + x0) * channels;
                for (int x = x0; x < x1; ++x, p += channels) {
                    sum[0] += linear[p[0]];
                    sum[1] += linear[p[1]];
                    sum[2] += linear[p[2]];
                }
            }
            const float scale = 1.0f / float((y1 - y0) * (x1 - x0));
            float* cell = &cellRgb[(cy * gridWidth + cx) * 3];
            for (int c = 0; c < 3; ++c) {
                cell[c] = sum[c] * scale;
            }
        }
    }
}

FlashSecond& FlashAnalyser::rowFor(long second) {
    if (rows.empty() || rows.back().second != second) {
        rows.push_back(FlashSecond{});
        rows.back().second = second;
    }
    return rows.back();
}

void FlashAnalyser::addFrame(const unsigned char* pixels, int width, int height, int channels) {
    downscale(pixels, width, height, channels);
    FlashSecond& row = rowFor(frame >= 0 ? frame / fps : (frame - fps + 1) / fps);

    int mostLight = 0;
    int mostRed = 0;
    for (int i = 0; i < cells; ++i) {
        const float* rgb = &cellRgb[i * 3];
        const float light = luminance(rgb);
        const int lightFlashes = step(cellLight[i], light, light < darkerBelow, lightChange) / 2;
        const int redFlashes = step(cellRed[i], redness(rgb), isSaturatedRed(rgb), redChange) / 2;
        flashingLight[i] = lightFlashes > flashLimit;
        flashingRed[i] = redFlashes > flashLimit;
        mostLight = std::max(mostLight, lightFlashes);
        mostRed = std::max(mostRed, redFlashes);
    }
    row.pixelFlashes = std::max(row.pixelFlashes, mostLight);
    row.pixelRedFlashes = std::max(row.pixelRedFlashes, mostRed);
    if (mostLight > flashLimit) {
        row.pixelArea = std::max(row.pixelArea, largestFieldShare(flashingLight));
    }
    if (mostRed > flashLimit) {
        row.pixelRedArea = std::max(row.pixelRedArea, largestFieldShare(flashingRed));
    }

    for (int r = 0; r < regionCount; ++r) {
        const auto [x0, y0, w, h] = flashgrid::region(r);
        float mean[3] = {0.0f, 0.0f, 0.0f};
        for (int y = y0; y < y0 + h; ++y) {
            for (int x = x0; x < x0 + w; ++x) {
                for (int c = 0; c < 3; ++c) {
                    mean[c] += cellRgb[(y * gridWidth + x) * 3 + c];
                }
            }
        }
        for (float& c : mean) {
            c /= float(w * h);
        }
        const float light = luminance(mean);
        row.regionFlashes = std::max(
            row.regionFlashes, step(regionLight[r], light, light < darkerBelow, lightChange) / 2);
        row.regionRedFlashes =
            std::max(row.regionRedFlashes,
                     step(regionRed[r], redness(mean), isSaturatedRed(mean), redChange) / 2);
    }
    ++frame;
}

std::string flashCsv(const std::vector<FlashSecond>& rows) {
    std::string out = "second,scene,pixel_flashes,pixel_area,pixel_red_flashes,pixel_red_area,"
                      "pixel_fails,region_flashes,region_red_flashes,region_fails\n";
    char line[256];
    for (const FlashSecond& r : rows) {
        std::snprintf(line, sizeof line, "%ld,%s,%d,%.3f,%d,%.3f,%d,%d,%d,%d\n", r.second,
                      r.scene.c_str(), r.pixelFlashes, r.pixelArea, r.pixelRedFlashes,
                      r.pixelRedArea, r.pixelFails() ? 1 : 0, r.regionFlashes, r.regionRedFlashes,
                      r.regionFails() ? 1 : 0);
        out += line;
    }
    return out;
}

namespace {
// "45-51, 63-66 s" for the seconds the test picks, or "none".
template <typename Pick> std::string ranges(const std::vector<FlashSecond>& rows, Pick pick) {
    std::string out;
    int count = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!pick(rows[i])) {
            continue;
        }
        size_t j = i;
        while (j + 1 < rows.size() && pick(rows[j + 1]) &&
               rows[j + 1].second == rows[j].second + 1) {
            ++j;
        }
        out += (out.empty() ? "" : ", ") + std::to_string(rows[i].second);
        if (j > i) {
            out += "-" + std::to_string(rows[j].second);
        }
        count += static_cast<int>(j - i + 1);
        i = j;
    }
    if (count == 0) {
        return "none";
    }
    return std::to_string(count) + " s (" + out + ")";
}
} // namespace

std::string flashSummary(const std::vector<FlashSecond>& rows) {
    int most = 0;
    for (const FlashSecond& r : rows) {
        most = std::max(most, r.pixelFlashes);
    }
    const long first = rows.empty() ? 0 : rows.front().second;
    const long last = rows.empty() ? 0 : rows.back().second;
    return "Flash check of " + std::to_string(first) + "-" + std::to_string(last) +
           " s: pixel by pixel " +
           ranges(rows, [](const FlashSecond& r) { return r.pixelFails(); }) + " fail, red " +
           ranges(rows, [](const FlashSecond& r) { return r.pixelRedFails(); }) +
           "; region means " + ranges(rows, [](const FlashSecond& r) { return r.regionFails(); }) +
           " fail, red " + ranges(rows, [](const FlashSecond& r) { return r.regionRedFails(); }) +
           "; at most " + std::to_string(most) + " flashes a second at one point";
}
