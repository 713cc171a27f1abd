#pragma once
// Mastering: loudness measured the broadcast way (ITU-R BS.1770: K-weighting, 400 ms blocks,
// absolute and relative gates) and a look-ahead limiter that holds a peak ceiling.

#include "music/stereo.h"

// Integrated loudness in LUFS; -70 or below for silence.
double integratedLoudness(const Stereo& track);

// Largest absolute sample, in dBFS.
double peakDb(const Stereo& track);

// Scales the track so that no sample exceeds ceilingDb. The gain dips smoothly over a 5 ms
// look-ahead before each peak (no clipping, no clicks) and recovers with the release time.
void limitPeaks(Stereo& track, double ceilingDb, double releaseSeconds);
