#pragma once
#include "capture/capture_options.h"
#include "capture/encoder.h"
#include "demo/frame_plan.h"

#include <string>
#include <vector>

// A recording shared out between processes or machines (--plan, --part) and joined into one
// video without encoding the picture again (--join): every part starts on a key frame, so its
// packets are copied as they are; the music is added once, over the whole.

// Frames [range.first, range.end) cut into at most `parts` contiguous, non-empty ranges in time
// order, each with about the same expected cost (the recorder's measured cost of each scene), so
// that processes started together end together.
std::vector<FrameRange> splitByCost(FrameRange range, int fps, int parts);

// The shell command lines of a recording in o.plan parts: one --part command a part, each
// writing its own MP4 beside o.output, then the --join command that makes o.output of them.
// `program` is how this program was started.
std::vector<std::string> planCommands(const CaptureOptions& o, const std::string& program);

// What a part file holds, written into its comment when it is made and read back to join it.
struct PartInfo {
    FrameRange frames;
    int fps = 0;
    int width = 0;
    int height = 0;
    double holdSeconds = 0.0; // the last picture held at the demo's end (only the last part)
};
std::string partComment(const PartInfo& part);
// The frames its file holds: its range, and the held ending's frames after it.
long framesHeld(const PartInfo& part);
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
// the parts). Each part must be a regular file (one that is not is never opened) that holds the
// frames its comment names. "" on success, else what went wrong; `name` is the output's name
// as the user gave it.
std::string joinParts(const std::vector<std::string>& partFiles, EncoderSettings settings,
                      const std::string& ffprobe, const std::string& output,
                      const std::string& name, PartInfo& whole);
