#pragma once
#include "app/timeline.h"

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

// The frames to render unseen before the first frame of a recording that starts late, so that
// the GL state it inherits is what a viewer of the whole demo would see: the last frame of every
// scene that has run by then (each scene leaves state to those after it) and the frame just
// before (a frame on a scene bound draws nothing and shows what that frame left). In time order.
std::vector<long> warmUpFrames(long firstFrame, int fps);

// "title", "scene 2" ... "finale", or "none" for a frame on a bound.
const char* sceneName(TimelineScene scene);
