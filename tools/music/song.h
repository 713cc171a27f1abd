#pragma once
// The arrangement of "demotune.mp3": A minor, 128 BPM, chords Am F C G, in sections that
// follow the demo's scenes. renderSong gives the mix before mastering.

#include "music/stereo.h"

#include <cstdint>

constexpr double kBeatSeconds = 60.0 / 128.0; // 0.46875 s
constexpr double kTrackSeconds = 172.0;

// The frame at which a beat (counted from 0 at the start of the track) begins.
int64_t frameOfBeat(double beat);

Stereo renderSong();
