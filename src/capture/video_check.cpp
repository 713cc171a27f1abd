#include "capture/video_check.h"

#include "base/child_process.h"
#include "base/whole_file.h"

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <unistd.h>

std::string ffprobeFor(const std::string& ffmpeg) {
    const std::string beside = std::filesystem::path(ffmpeg).replace_filename("ffprobe").string();
    return access(beside.c_str(), X_OK) == 0 ? beside : findOnPath("ffprobe");
}

bool probeVideo(const std::string& ffprobe, const std::string& path, VideoContents& contents) {
    const std::string report =
        outputOf({ffprobe, "-v", "error", "-count_packets", "-show_entries",
                  "stream=codec_type,nb_read_packets:format=duration:format_tags=comment", "-of",
                  "default=nw=1", "file:" + path});
    contents = VideoContents();
    std::istringstream lines(report);
    std::string type;
    bool pictures = false;
    bool sounds = false;
    bool timed = false;
    for (std::string line; std::getline(lines, line);) {
        const size_t equals = line.find('=');
        const std::string key = line.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : line.substr(equals + 1);
        try {
            if (key == "codec_type") {
                type = value;
            } else if (key == "nb_read_packets" && type == "video" && !pictures) {
                contents.pictures = std::stol(value);
                pictures = true;
            } else if (key == "nb_read_packets" && type == "audio" && !sounds) {
                contents.sounds = std::stol(value);
                sounds = true;
            } else if (key == "duration") {
                contents.seconds = std::stod(value);
                timed = true;
            } else if (key == "TAG:comment") {
                contents.comment = value;
            }
        } catch (const std::exception&) {
            return false; // "N/A"
        }
    }
    return pictures && timed;
}

std::string writeFailure(const std::string& what, const std::string& temp,
                         const std::string& name) {
    const std::string reason = likelyWriteFailure(temp);
    return reason.empty() ? what : "cannot write " + name + ": " + reason + "; " + what;
}

std::string checkVideo(const std::string& ffprobe, const std::string& temp, const std::string& name,
                       long pictures, double seconds, int fps, bool withSound) {
    VideoContents contents;
    if (!probeVideo(ffprobe, temp, contents)) {
        return "ffmpeg left " + name + " unreadable";
    }
    if (contents.pictures != pictures) {
        return "ffmpeg left " + name + " with " + std::to_string(contents.pictures) + " of its " +
               std::to_string(pictures) + " frames";
    }
    if (withSound && contents.sounds == 0) {
        return "ffmpeg left " + name + " without its sound";
    }
    if (contents.seconds < seconds - 1.0 / fps) {
        char length[32];
        std::snprintf(length, sizeof length, "%.3f s", seconds);
        return "ffmpeg left " + name + " shorter than its " + length;
    }
    return "";
}
