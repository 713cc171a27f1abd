#pragma once
#include <string>
#include <vector>

// How ffmpeg turns the piped frames and the music into the video file.
struct EncoderSettings {
    std::string ffmpeg; // path of the program
    int width = 0;
    int height = 0;
    int fps = 0;
    double audioStart = 0.0;       // demo seconds of the first frame: the music starts with frame 0
    double duration = 0.0;         // seconds of picture; the sound is cut (or padded) to it
    std::string music;             // "" for a silent sound track
    std::string output;            // written as MP4 whatever its name
    std::string preset = "medium"; // x264's speed against compression
    // A part of a longer recording: picture only, its frames named in the file's comment, so
    // that a join can check the parts follow each other and add the music once.
    bool part = false;
    std::string comment;
};

// The full ffmpeg command line: raw RGBA frames on stdin, bottom row first; H.264 + AAC out.
std::vector<std::string> encoderArguments(const EncoderSettings& settings);
