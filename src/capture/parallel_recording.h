#pragma once
#include "capture/capture_options.h"
#include "capture/encoder.h"

#include <string>

// A recording shared by o.jobs processes: this program runs once per part (--part) on its own
// contiguous stretch, each with its own virtual X server when there is no display, and the parts
// are then joined into o.output with the music (encoding: the ffmpeg, music and format to join
// with). Returns the exit status for main.
int recordInParts(const CaptureOptions& o, const EncoderSettings& encoding);
