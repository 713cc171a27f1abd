#pragma once
// MP3 encoding with LAME: constant bit rate, with the LAME info tag in the first frame. The
// tag records the encoder delay and padding, so gapless decoders (mpg123 inside SDL_mixer,
// FFmpeg) drop them and the decoded audio starts exactly where the synthesised audio did:
// beat k lands on k x 0.46875 s.

#include "music/stereo.h"

#include <vector>

// Returns the file's bytes, or nothing if the encoder fails.
std::vector<unsigned char> encodeMp3(const Stereo& track, int kbps);
