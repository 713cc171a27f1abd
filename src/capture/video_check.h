#pragma once
#include <string>

// A video read back by ffprobe before it is given its name, and each part before it is joined:
// ffmpeg can report success for a file it could not finish, and a part's comment may claim more
// than the file holds. Packets are counted without decoding (one a frame for the picture).

// ffprobe beside this ffmpeg, else the one on PATH; "" when there is none.
std::string ffprobeFor(const std::string& ffmpeg);

struct VideoContents {
    long pictures = 0; // packets of the first video stream
    long sounds = 0;   // packets of the first sound stream
    double seconds = 0.0;
    std::string comment; // the file's comment tag, "" for none
};
// False when ffprobe cannot read the file as a video at all.
bool probeVideo(const std::string& ffprobe, const std::string& path, VideoContents& contents);

// What went wrong when ffmpeg failed to write `name` (at `temp`): the file system's reason
// where it tells one ("cannot write out/x.mp4: No space left on device; WHAT"), else `what`.
std::string writeFailure(const std::string& what, const std::string& temp, const std::string& name);

// "" when the finished file at `temp` holds `pictures` frames lasting `seconds` at `fps`, with
// sound unless it is a part; else why not, naming it `name`.
std::string checkVideo(const std::string& ffprobe, const std::string& temp, const std::string& name,
                       long pictures, double seconds, int fps, bool withSound);
