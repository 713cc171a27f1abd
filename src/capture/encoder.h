#pragma once
#include <string>
#include <vector>

// The kinds of video file a recording writes, chosen by the output name's extension:
// .mp4 and .mkv hold H.264 with AAC sound, .webm holds VP9 with Opus.
enum class VideoFormat { Mp4, Matroska, WebM };
// The extension of a file name in lower case, with its dot: ".mp4" for "Take.MP4".
std::string lowerExtension(const std::string& path);
// The format an output name asks for; false for any other extension.
bool videoFormatOf(const std::string& path, VideoFormat& format);
// The quality scale of the format's video codec: 0 (lossless or best) to this.
int worstCrf(VideoFormat format);
// The quality a recording gets when --crf does not say: visually lossless for H.264, the
// codec's own recommendation for full-HD VP9.
int defaultCrf(VideoFormat format);

// True for the names x264 knows as presets, ultrafast to placebo.
bool isX264Preset(const std::string& name);

// The preset a recording uses unless --preset says otherwise, chosen with
// bench/encoder_presets_bench: at each of 960x540, 1280x720 and 1920x1080 it is the fastest
// preset that keeps the picture within 1 dB PSNR of "medium" at no more than a tenth more bits
// (it costs 70 to 85% of medium's CPU for about 0.6 dB and 5% fewer bits; "veryfast" halves
// the CPU but loses about 1.7 dB).
constexpr const char* defaultPreset = "faster";

// How ffmpeg turns the piped frames and the music into the video file.
struct EncoderSettings {
    std::string ffmpeg; // path of the program
    int width = 0;
    int height = 0;
    int fps = 0;
    double audioStart = 0.0; // demo seconds of the first frame: the music starts with frame 0
    double duration = 0.0;   // seconds of picture; the sound is cut (or padded) to it
    // Seconds the last picture is held after the frames while the music goes on; the picture
    // and the sound fade out over the last fadeSeconds of it. 0 for none.
    double holdSeconds = 0.0;
    double fadeSeconds = 0.0;
    std::string music;  // "" for a silent sound track
    std::string output; // written in `format` whatever its name
    VideoFormat format = VideoFormat::Mp4;
    int crf = 18;
    std::string preset = "medium"; // x264's speed against compression
    // A part of a longer recording: picture only, in MP4 whatever the format, its frames named
    // in the file's comment, so that a join can check the parts follow each other and add the
    // music once.
    bool part = false;
    std::string comment;
};

// The full ffmpeg command line: raw RGBA frames on stdin, bottom row first. File names are
// given as "file:" URLs, so that no name (one with a colon, one starting with "-") is read as
// a protocol or an option.
std::vector<std::string> encoderArguments(const EncoderSettings& settings);

// The command line that joins parts, listed in a concat-demuxer list on its stdin, into one
// video of settings.format with the music: the parts' picture is copied, the sound made as
// encoderArguments makes it (audioStart, duration and hold are those of the whole).
std::vector<std::string> joinArguments(const EncoderSettings& settings);
