#pragma once
#include "schedule/schedule.h"

#include <vector>

// A recording runs on a virtual clock: frame n shows demo time n / fps, from 0 on, so the
// title gets its full 24 seconds and frame 0 lines up with the first sample of the music.

double frameSeconds(long frame, int fps);

// A recording that runs to the end of the demo holds its last picture this long while the last
// chord rings out, and fades picture and sound out over the last part of it.
constexpr double endingHoldSeconds = 4.0;
constexpr double endingFadeSeconds = 2.0;

// The times at which the live program draws no scene (the scene bounds) or the finale draws no
// grid and shows the sky through an unturned view (its sub-window bounds): 24, 44, 67, 83, 112,
// 129, 141, 151 and 164 s. A live frame practically never lands on one; a recording at a whole
// frame rate always does.
std::vector<float> glitchTimes();
// The demoTime a recording draws for a frame at these seconds: the seconds as a float, or the
// next float after it when that is a glitch time, so the picture goes on without a flash.
float recordingDemoTime(double seconds);
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
// before (whose state, such as the title's tilt, the first frame carries on). In time order.
std::vector<long> warmUpFrames(long firstFrame, int fps);
