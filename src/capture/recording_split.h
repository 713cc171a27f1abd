#pragma once
#include "capture/frame_plan.h"

#include <vector>

// How a recording is shared out between processes (--jobs) or machines (--part, --join).

// The number of processes a recording uses unless told: measured on a 2-core machine without a
// GPU, where two processes with one render thread each beat one with two.
int defaultJobs();

// The relative cost of rendering and encoding the frame at this demo time on a software
// renderer, from the measured speed of each scene (the finale's last grid is by far the
// dearest); only the proportions matter.
double frameCost(double seconds);

// Frames [range.first, range.end) cut into at most `parts` contiguous, non-empty ranges in time
// order, each with about the same total cost, so that processes started together end together.
std::vector<FrameRange> splitByCost(FrameRange range, int fps, int parts);
