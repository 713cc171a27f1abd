#pragma once
#include "capture/encoder.h"
#include "schedule/schedule.h"

#include <string>
#include <vector>

// What a recording covers and where it goes. Sizes are the rendered (and encoded) picture;
// times are demo seconds, the same clock the timeline runs on.
struct CaptureOptions {
    int width = 1920;
    int height = 1080;
    int fps = 60;
    double from = 0.0;
    double to = demoLength;
    bool still = false;     // one frame as a PNG instead of a video
    double stillTime = 0.0; // demo seconds of that frame
    std::string output;     // "heptad.mp4", or "heptad.png" for a still, unless given
    VideoFormat format = VideoFormat::Mp4; // follows the output name's extension
    int crf = -1;                          // video quality; -1 for the format's default
    std::string preset;                    // the x264 preset; "" for the measured default
    int plan = 0;                          // parts to print the commands of; 0 to record
    int gpu = -1;                          // the EGL device to draw on; -1 for the first GPU
    int supersample = 1;            // rendered at this many times the size, then filtered down
    bool part = false;              // one piece of a longer recording, picture only, for --join
    bool join = false;              // joins the part files into one video with the music
    std::vector<std::string> parts; // the part files of a join, in time order
    std::string flashReport;        // CSV of the flash check of every frame; "" for none
    bool gentle = false;            // the flash limiter runs over every frame
    bool help = false;
    bool version = false;
};

// Either options or one line saying what is wrong with the command line.
struct ParsedCaptureOptions {
    CaptureOptions options;
    std::string error;
};

// Parses the arguments after the program name. Accepts "--name value" and "--name=value".
ParsedCaptureOptions parseCaptureOptions(const std::vector<std::string>& args);

// The --help text.
std::string captureUsage();
