#pragma once
#include <vector>

// Where the drums of a stretch of the music stop: the drums fill every beat with sharp highs
// (hats, snare, kick clicks), which a second difference brings out; the final chord and the
// echoes after it have little of them. Beats lie at firstBeat + k x beatSeconds (seconds from
// the start of `mono`). Returns the time of the last beat whose energy reaches three quarters
// of the weakest of the first four beats (which must carry drums), or -1 when there is none.
double lastDrumBeat(const std::vector<float>& mono, int rate, double firstBeat, double beatSeconds);
