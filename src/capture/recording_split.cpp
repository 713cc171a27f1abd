#include "capture/recording_split.h"

#include "capture/progress.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

std::vector<FrameRange> splitByCost(FrameRange range, int fps, int parts) {
    const long frames = range.count();
    parts = static_cast<int>(std::min<long>(std::max(parts, 1), std::max(frames, 1L)));
    const std::vector<double> costBefore = expectedCostsBefore(range, fps);
    std::vector<FrameRange> pieces;
    long start = 0;
    for (int cut = 1; cut < parts; ++cut) {
        // Cut once this piece reaches its share, leaving at least a frame for each piece after.
        long end = start + 1;
        while (end < frames - (parts - cut) && costBefore[end] < costBefore.back() * cut / parts) {
            ++end;
        }
        pieces.push_back({range.first + start, range.first + end});
        start = end;
    }
    pieces.push_back({range.first + start, range.end});
    return pieces;
}

namespace {
// A word as the shell reads it back unchanged: as it is when it is plain, else single-quoted.
std::string quoted(const std::string& word) {
    const char* plain = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-+=.,/:@%";
    if (!word.empty() && word.find_first_not_of(plain) == std::string::npos) {
        return word;
    }
    std::string text = "'";
    for (char c : word) {
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return text + "'";
}

// Seconds as an argument that names the same frame again: every digit a double holds.
std::string exactSeconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", seconds);
    return text;
}
} // namespace

std::vector<std::string> planCommands(const CaptureOptions& o, const std::string& program) {
    const std::vector<FrameRange> pieces =
        splitByCost(framesBetween(o.from, o.to, o.fps), o.fps, o.plan);
    const std::string stem = std::filesystem::path(o.output).replace_extension().string();
    std::string settings = " --size " + std::to_string(o.width) + "x" + std::to_string(o.height) +
                           " --fps " + std::to_string(o.fps) + " --crf " + std::to_string(o.crf);
    if (!o.preset.empty()) {
        settings += " --preset " + o.preset;
    }
    if (o.supersample > 1) {
        settings += " --supersample " + std::to_string(o.supersample);
    }
    if (o.gpu >= 0) {
        settings += " --gpu " + std::to_string(o.gpu);
    }
    std::vector<std::string> lines;
    std::string join = quoted(program) + " --join";
    for (size_t i = 0; i < pieces.size(); ++i) {
        const std::string part = quoted(stem + ".part" + std::to_string(i + 1) + ".mp4");
        lines.push_back(quoted(program) + " --part" + settings + " --from " +
                        exactSeconds(frameSeconds(pieces[i].first, o.fps)) + " --to " +
                        exactSeconds(frameSeconds(pieces[i].end, o.fps)) + " --output " + part);
        join += " " + part;
    }
    lines.push_back(join + " --output " + quoted(o.output));
    return lines;
}
