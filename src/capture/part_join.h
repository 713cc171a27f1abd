#pragma once
#include "app/frame_plan.h"
#include "capture/encoder.h"

#include <string>
#include <vector>

// Parts of a recording made apart (by --part, in several processes or on several machines) and
// joined into one video without encoding the picture again: every part starts on a key frame, so
// its packets are copied as they are; the music is added once, over the whole.

// What a part file holds, written into its comment when it is made and read back to join it.
struct PartInfo {
    FrameRange frames;
    int fps = 0;
    int width = 0;
    int height = 0;
    double holdSeconds = 0.0; // the last picture held at the demo's end (only the last part)
};
std::string partComment(const PartInfo& part);
bool parsePartComment(const std::string& comment, PartInfo& part);

// The whole the parts make, in the order given, or "" and one line saying why they do not
// join: another size or rate, a gap or overlap between neighbours, or a held ending before the
// last part (names[i] names parts[i]).
std::string checkPartsFollow(const std::vector<PartInfo>& parts,
                             const std::vector<std::string>& names, PartInfo& whole);

// A concat-demuxer list of these files as "file:" URLs, quoted so that any name is read as it
// stands.
std::string concatList(const std::vector<std::string>& absolutePaths);

// Reads the parts, checks them, and writes the joined video with the music to `output`, in the
// format and with the sound of `settings` (its ffmpeg, music and format; the rest comes from
// the parts). ffprobe is found beside ffmpeg on PATH. "" on success, else what went wrong.
std::string joinParts(const std::vector<std::string>& partFiles, EncoderSettings settings,
                      const std::string& output, PartInfo& whole);
