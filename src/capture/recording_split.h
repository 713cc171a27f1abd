#pragma once
#include "app/frame_plan.h"
#include "capture/capture_options.h"

#include <string>
#include <vector>

// How a recording is shared out between processes or machines (--plan, --part, --join).

// Frames [range.first, range.end) cut into at most `parts` contiguous, non-empty ranges in time
// order, each with about the same expected cost (the recorder's measured cost of each scene), so
// that processes started together end together.
std::vector<FrameRange> splitByCost(FrameRange range, int fps, int parts);

// The shell command lines of a recording in o.plan parts: one --part command a part, each
// writing its own MP4 beside o.output, then the --join command that makes o.output of them.
// `program` is how this program was started.
std::vector<std::string> planCommands(const CaptureOptions& o, const std::string& program);
