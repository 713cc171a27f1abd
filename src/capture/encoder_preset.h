#pragma once
#include <string>

// True for the names x264 knows as presets, ultrafast to placebo.
bool isX264Preset(const std::string& name);

// The preset a recording uses unless --preset says otherwise, chosen with
// bench/encoder_presets_bench: at each of 960x540, 1280x720 and 1920x1080 it is the fastest
// preset that keeps the picture within 1 dB PSNR of "medium" at no more than a tenth more bits
// (it costs 70 to 85% of medium's CPU for about 0.6 dB and 5% fewer bits; "veryfast" halves
// the CPU but loses about 1.7 dB).
constexpr const char* defaultPreset = "faster";
