#include "capture/encoder.h"

#include <cstdio>

namespace {
std::string exactSeconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", seconds);
    return text;
}
} // namespace

std::vector<std::string> encoderArguments(const EncoderSettings& s) {
    std::vector<std::string> args = {s.ffmpeg, "-hide_banner", "-nostats", "-loglevel", "error",
                                     "-y",
                                     // Input 0: the frames, exactly as glReadPixels returns them.
                                     "-f", "rawvideo", "-pix_fmt", "rgba", "-video_size",
                                     std::to_string(s.width) + "x" + std::to_string(s.height),
                                     "-framerate", std::to_string(s.fps), "-i", "pipe:0"};
    // GL rows run bottom-up. Tagged and converted as BT.709, which players assume for HD.
    const std::string convert = "vflip,scale=out_color_matrix=bt709:out_range=tv,format=yuv420p";
    const std::vector<std::string> picture = {
        "-vf", convert,       "-c:v",  "libx264",          "-preset", s.preset,     "-crf",
        "18",  "-colorspace", "bt709", "-color_primaries", "bt709",   "-color_trc", "bt709"};
    if (s.part) {
        args.insert(args.end(), {"-map", "0:v:0"});
        args.insert(args.end(), picture.begin(), picture.end());
        args.insert(args.end(), {"-metadata", "comment=" + s.comment, "-f", "mp4", s.output});
        return args;
    }
    // Input 1: the music, or silence of the same layout when there is none.
    if (s.music.empty()) {
        args.insert(args.end(),
                    {"-f", "lavfi", "-i", "anullsrc=channel_layout=stereo:sample_rate=44100"});
    } else {
        args.insert(args.end(), {"-i", s.music});
    }
    args.insert(args.end(), {"-map", "0:v:0", "-map", "1:a:0"});
    args.insert(args.end(), picture.begin(), picture.end());
    args.insert(
        args.end(),
        {// The sound is cut by decoding from the top rather than seeking, which is sample-exact
         // for every MP3; padding keeps a short track from shortening the video.
         "-af", "atrim=start=" + exactSeconds(s.audioStart) + ",asetpts=PTS-STARTPTS,apad", "-c:a",
         "aac", "-b:a", "192k", "-t", exactSeconds(s.duration), "-movflags", "+faststart", "-f",
         "mp4", s.output});
    return args;
}
