#pragma once
#include "app/frame_plan.h"

#include <vector>

// How a recording is shared out between processes (--jobs) or machines (--part, --join).

// Frames [range.first, range.end) cut into at most `parts` contiguous, non-empty ranges in time
// order, each with about the same expected cost (the recorder's measured cost of each scene), so
// that processes started together end together.
std::vector<FrameRange> splitByCost(FrameRange range, int fps, int parts);
