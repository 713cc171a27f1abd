#include "capture/encoder.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

namespace {
std::string exactSeconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", seconds);
    return text;
}
} // namespace

std::string lowerExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return extension;
}

bool videoFormatOf(const std::string& path, VideoFormat& format) {
    const std::string extension = lowerExtension(path);
    if (extension == ".mp4") {
        format = VideoFormat::Mp4;
    } else if (extension == ".mkv") {
        format = VideoFormat::Matroska;
    } else if (extension == ".webm") {
        format = VideoFormat::WebM;
    } else {
        return false;
    }
    return true;
}

bool isX264Preset(const std::string& name) {
    for (const char* preset : {"ultrafast", "superfast", "veryfast", "faster", "fast", "medium",
                               "slow", "slower", "veryslow", "placebo"}) {
        if (name == preset) {
            return true;
        }
    }
    return false;
}

int worstCrf(VideoFormat format) {
    return format == VideoFormat::WebM ? 63 : 51;
}

int defaultCrf(VideoFormat format) {
    return format == VideoFormat::WebM ? 31 : 18;
}

namespace {
// Input 1: the music, or silence of the same layout when there is none.
void addMusicInput(const EncoderSettings& s, std::vector<std::string>& args) {
    if (s.music.empty()) {
        args.insert(args.end(),
                    {"-f", "lavfi", "-i", "anullsrc=channel_layout=stereo:sample_rate=44100"});
    } else {
        args.insert(args.end(), {"-i", "file:" + s.music});
    }
}

// The sound of the whole recording, with its codec.
void addSound(const EncoderSettings& s, std::vector<std::string>& args) {
    const double length = s.duration + s.holdSeconds;
    // The sound is cut by decoding from the top rather than seeking, which is sample-exact for
    // every MP3; padding keeps a short track from shortening the video.
    std::string sound = "atrim=start=" + exactSeconds(s.audioStart) + ",asetpts=PTS-STARTPTS,apad";
    if (s.holdSeconds > 0.0) {
        sound += ",afade=t=out:st=" + exactSeconds(length - s.fadeSeconds) +
                 ":d=" + exactSeconds(s.fadeSeconds);
    }
    args.insert(args.end(), {"-af", sound});
    if (s.format == VideoFormat::WebM) {
        // Opus runs at 48 kHz, to which ffmpeg resamples the music.
        args.insert(args.end(), {"-c:a", "libopus", "-b:a", "160k"});
    } else {
        args.insert(args.end(), {"-c:a", "aac", "-b:a", "192k"});
    }
}

// The length and the file: the container of the format, or MP4 for a part.
void addOutput(const EncoderSettings& s, std::vector<std::string>& args) {
    args.insert(args.end(), {"-t", exactSeconds(s.duration + s.holdSeconds)});
    if (s.part) {
        args.insert(args.end(), {"-metadata", "comment=" + s.comment, "-f", "mp4"});
    } else if (s.format == VideoFormat::Mp4) {
        args.insert(args.end(), {"-movflags", "+faststart", "-f", "mp4"});
    } else {
        args.insert(args.end(), {"-f", s.format == VideoFormat::WebM ? "webm" : "matroska"});
    }
    args.push_back("file:" + s.output);
}
} // namespace

std::vector<std::string> encoderArguments(const EncoderSettings& s) {
    // -xerror: a write that fails (a full disk, the size limit) ends ffmpeg with a failure,
    // also in the trailer, which it would otherwise report and then exit with success.
    std::vector<std::string> args = {s.ffmpeg, "-hide_banner", "-nostats", "-loglevel", "error",
                                     "-xerror", "-y",
                                     // Input 0: the frames, exactly as glReadPixels returns them.
                                     "-f", "rawvideo", "-pix_fmt", "rgba", "-video_size",
                                     std::to_string(s.width) + "x" + std::to_string(s.height),
                                     "-framerate", std::to_string(s.fps), "-i", "pipe:0"};
    if (!s.part) {
        addMusicInput(s, args);
    }
    // GL rows run bottom-up. Tagged and converted as BT.709, which players assume for HD.
    std::string picture = "vflip,";
    if (s.holdSeconds > 0.0) {
        picture += "tpad=stop_mode=clone:stop_duration=" + exactSeconds(s.holdSeconds) +
                   ",fade=t=out:st=" + exactSeconds(s.duration + s.holdSeconds - s.fadeSeconds) +
                   ":d=" + exactSeconds(s.fadeSeconds) + ",";
    }
    picture += "scale=out_color_matrix=bt709:out_range=tv,format=yuv420p";
    args.insert(args.end(), {"-map", "0:v:0"});
    if (!s.part) {
        args.insert(args.end(), {"-map", "1:a:0"});
    }
    args.insert(args.end(), {"-vf", picture});
    if (s.format == VideoFormat::WebM) {
        // Constant quality (a zero bit rate cap), a speed setting for a 2-core machine, rows in
        // parallel.
        args.insert(args.end(), {"-c:v", "libvpx-vp9", "-crf", std::to_string(s.crf), "-b:v", "0",
                                 "-deadline", "good", "-cpu-used", "4", "-row-mt", "1"});
    } else {
        args.insert(args.end(),
                    {"-c:v", "libx264", "-preset", s.preset, "-crf", std::to_string(s.crf)});
    }
    args.insert(args.end(),
                {"-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709"});
    if (!s.part) {
        addSound(s, args);
    }
    addOutput(s, args);
    return args;
}

std::vector<std::string> joinArguments(const EncoderSettings& s) {
    // The list comes on stdin and names the parts as "file:" URLs, which the concat demuxer may
    // open only when told.
    std::vector<std::string> args = {s.ffmpeg,    "-hide_banner", "-nostats", "-loglevel",
                                     "error",     "-xerror",      "-y",       "-f",
                                     "concat",    "-safe",        "0",        "-protocol_whitelist",
                                     "pipe,file", "-i",           "pipe:0"};
    addMusicInput(s, args);
    // The parts' packets are copied as they are; the sound is made as for a recording in one
    // process, over the whole length at once.
    args.insert(args.end(), {"-map", "0:v:0", "-map", "1:a:0", "-c:v", "copy"});
    addSound(s, args);
    addOutput(s, args);
    return args;
}
