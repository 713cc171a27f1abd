#include "capture/recording_parts.h"

#include "base/child_process.h"
#include "capture/progress.h"
#include "capture/video_check.h"

#include <algorithm>
#include <cmath>
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
// A word single-quoted as both the shell and ffmpeg's concat list read it back unchanged.
std::string singleQuoted(const std::string& word) {
    std::string text = "'";
    for (char c : word) {
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return text + "'";
}

// A word as the shell reads it back unchanged: as it is when it is plain, else single-quoted.
std::string quoted(const std::string& word) {
    const char* plain = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-+=.,/:@%";
    if (!word.empty() && word.find_first_not_of(plain) == std::string::npos) {
        return word;
    }
    return singleQuoted(word);
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
    if (o.gentle) {
        settings += " --gentle";
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

std::string partComment(const PartInfo& part) {
    char hold[32];
    std::snprintf(hold, sizeof hold, "%.6f", part.holdSeconds);
    return "heptad-capture part: frames " + std::to_string(part.frames.first) + " to " +
           std::to_string(part.frames.end) + " at " + std::to_string(part.fps) + " fps, " +
           std::to_string(part.width) + "x" + std::to_string(part.height) + ", held " + hold + " s";
}

long framesHeld(const PartInfo& part) {
    return part.frames.count() + std::lround(part.holdSeconds * part.fps);
}

bool parsePartComment(const std::string& comment, PartInfo& part) {
    int used = 0;
    const int fields = std::sscanf(
        comment.c_str(), "heptad-capture part: frames %ld to %ld at %d fps, %dx%d, held %lf s%n",
        &part.frames.first, &part.frames.end, &part.fps, &part.width, &part.height,
        &part.holdSeconds, &used);
    // A trailing newline from the probe is the only thing allowed after it.
    const std::string rest = fields == 6 ? comment.substr(static_cast<size_t>(used)) : "x";
    return (rest.empty() || rest == "\n") && part.frames.first >= 0 && part.frames.count() > 0 &&
           part.fps > 0 && part.width > 0 && part.height > 0 && part.holdSeconds >= 0.0 &&
           part.holdSeconds <= 60.0;
}

std::string checkPartsFollow(const std::vector<PartInfo>& parts,
                             const std::vector<std::string>& names, PartInfo& whole) {
    whole = parts.front();
    for (size_t i = 1; i < parts.size(); ++i) {
        const PartInfo& part = parts[i];
        if (part.fps != whole.fps || part.width != whole.width || part.height != whole.height) {
            return names[i] + " is " + std::to_string(part.width) + "x" +
                   std::to_string(part.height) + " at " + std::to_string(part.fps) + " fps, " +
                   names[0] + " " + std::to_string(whole.width) + "x" +
                   std::to_string(whole.height) + " at " + std::to_string(whole.fps) +
                   " fps: parts of one video share both";
        }
        if (whole.holdSeconds > 0.0) {
            return names[i - 1] + " ends the demo, so it must be the last part";
        }
        if (part.frames.first != whole.frames.end) {
            return names[i] + " starts at frame " + std::to_string(part.frames.first) + " but " +
                   names[i - 1] + " ends before frame " + std::to_string(whole.frames.end) +
                   ": give the parts in time order, with no gap or overlap";
        }
        whole.frames.end = part.frames.end;
        whole.holdSeconds = part.holdSeconds;
    }
    return "";
}

std::string concatList(const std::vector<std::string>& absolutePaths) {
    std::string list = "ffconcat version 1.0\n";
    for (const std::string& path : absolutePaths) {
        list += "file " + singleQuoted("file:" + path) + "\n";
    }
    return list;
}

std::string joinParts(const std::vector<std::string>& partFiles, EncoderSettings settings,
                      const std::string& ffprobe, const std::string& output,
                      const std::string& name, PartInfo& whole) {
    // Every part is looked at before any is opened: a FIFO would hang the helper that opened it.
    std::vector<std::string> paths;
    for (const std::string& file : partFiles) {
        std::error_code unreadable;
        const std::string path = std::filesystem::canonical(file, unreadable).string();
        if (unreadable) {
            return "cannot read " + file + ": " + unreadable.message();
        }
        if (!std::filesystem::is_regular_file(path, unreadable)) {
            return file + " is not a regular file";
        }
        paths.push_back(path);
    }
    std::vector<PartInfo> parts;
    for (size_t i = 0; i < paths.size(); ++i) {
        PartInfo part;
        VideoContents contents;
        if (!probeVideo(ffprobe, paths[i], contents) || !parsePartComment(contents.comment, part)) {
            return partFiles[i] + " is not a part made by heptad-capture --part";
        }
        // A part cut short (by a full disk, or one left by a recorder that was killed) would
        // join without a gap in its comment, and the music would run out of step.
        if (contents.pictures != framesHeld(part)) {
            return partFiles[i] + " holds " + std::to_string(contents.pictures) +
                   " frames but its comment names " + std::to_string(framesHeld(part)) +
                   " (frames " + std::to_string(part.frames.first) + " to " +
                   std::to_string(part.frames.end - 1) + "): it is cut short or not that part";
        }
        parts.push_back(part);
    }
    const std::string mismatch = checkPartsFollow(parts, partFiles, whole);
    if (!mismatch.empty()) {
        return mismatch;
    }

    settings.audioStart = frameSeconds(whole.frames.first, whole.fps);
    settings.duration = frameSeconds(whole.frames.count(), whole.fps);
    settings.holdSeconds = whole.holdSeconds;
    settings.fadeSeconds = whole.holdSeconds > 0.0 ? endingFadeSeconds : 0.0;
    settings.output = output;
    // The list goes through a pipe, so that no file of it can be left behind.
    const std::string list = concatList(paths);
    ChildProcess joiner;
    std::string error;
    if (!joiner.start(joinArguments(settings), false, error)) {
        return error;
    }
    joiner.write(list.data(), list.size());
    const int status = joiner.finish();
    if (status == 0) {
        return "";
    }
    return writeFailure("ffmpeg could not join the parts (exit status " + std::to_string(status) +
                            ")",
                        output, name);
}
