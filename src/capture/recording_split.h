#pragma once
#include "capture/frame_plan.h"

#include <vector>

// How a recording is shared out between processes (--jobs) or machines (--part, --join).

// The number of processes a recording uses unless told: 2, measured on a 2-core machine without
// a GPU, where two processes with one render thread each beat one with two; 1 for a recording
// short enough that a second start-up would not pay for itself.
int defaultJobs(const FrameRange& range, int fps, int width, int height);

// Frames [range.first, range.end) cut into at most `parts` contiguous, non-empty ranges in time
// order, each with about the same expected cost (the recorder's measured cost of each scene), so
// that processes started together end together.
std::vector<FrameRange> splitByCost(FrameRange range, int fps, int parts);
