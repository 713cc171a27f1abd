#pragma once
#include "app/timeline.h"
#include "app/warm_up.h" // warmUpFrames, shared with the live program

#include <vector>

// A recording runs on a virtual clock: frame n shows demo time n / fps, from 0 on, so the
// title gets its full 24 seconds and frame 0 lines up with the first sample of the music.

double frameSeconds(long frame, int fps);
// The first frame whose time is at or after the given seconds.
long firstFrameAt(double seconds, int fps);

// Frames [first, end) of a recording from `from` up to but not including `to`.
struct FrameRange {
    long first = 0;
    long end = 0;
    long count() const { return end - first; }
};
FrameRange framesBetween(double from, double to, int fps);

// "title", "scene 2" ... "finale", or "none" for a frame on a bound.
const char* sceneName(TimelineScene scene);
