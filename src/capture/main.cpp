// heptad-capture: records the demo frame by frame on a virtual clock into an MP4 video with its
// music (or one frame into a PNG), the same start-up and scenes as the live program, on any
// machine: it needs no display (EGL makes its context), and without a GPU Mesa renders.
#include "base/child_process.h"
#include "base/data_folder.h"
#include "base/pending_output.h"
#include "base/version.h"
#include "base/whole_file.h"
#include "capture/capture_options.h"
#include "capture/downsample.h"
#include "capture/encoder.h"
#include "capture/progress.h"
#include "capture/recording_parts.h"
#include "capture/video_check.h"
#include "context/headless_gl.h"
#include "context/offscreen_target.h"
#include "demo/frame_at.h"
#include "demo/frame_plan.h"
#include "demo/startup.h"
#include "flash/flash_analysis.h"
#include "flash/flash_limiter.h"
#include "render/gl.h"
#include "render/startup_failures.h"
#include "schedule/schedule.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

int fail(const std::string& message) {
    std::fprintf(stderr, "heptad-capture: %s\n", message.c_str());
    return exitFailure;
}

// Music that is anything but a readable regular file (a FIFO would block ffmpeg for good) is
// treated as no music, and never opened.
bool isMusicFile(const char* path) {
    struct stat info {};
    return stat(path, &info) == 0 && S_ISREG(info.st_mode) && access(path, R_OK) == 0;
}

// Whether the last frame of the range is the last of the demo, so the music's ending follows.
bool reachesTheEnd(const FrameRange& range, int fps) {
    return frameSeconds(range.end, fps) >= std::end(timelineWindows)[-1].end;
}

// The frame at o.stillTime as a PNG, after the frames whose state it inherits.
int recordStill(const CaptureOptions& o, const OffscreenTarget& target, const std::string& temp) {
    target.bind();
    drawWarmUpFor(o.stillTime, o.fps);
    drawDemoAt(o.stillTime, DemoClock::Pinned);
    std::vector<unsigned char> pixels;
    target.read(pixels);
    if (o.supersample > 1) {
        std::vector<unsigned char> large;
        large.swap(pixels);
        downsampleBox(large.data(), o.width, o.height, o.supersample, pixels);
    }
    const std::string png = encodePng(o.width, o.height, pixels);
    std::string error = "cannot write " + o.output + ": the PNG could not be made";
    if (png.empty() || !fillPartialFile(temp, png, o.output, error) ||
        !commitPendingOutput(o.output, error)) {
        return fail(error);
    }
    std::fprintf(stderr, "Wrote %s\n", o.output.c_str());
    return 0;
}

// The flash check's rows, each named by its scene, written beside the video once that is done.
bool writeFlashReport(const std::string& path, const std::string& temp,
                      std::vector<FlashSecond> rows, std::string& error) {
    for (FlashSecond& row : rows) {
        row.scene = sceneName(timelineScene(recordingDemoTime(row.second + 0.5)));
    }
    const std::string csv = flashCsv(rows);
    if (!fillPartialFile(temp, csv, path, error) || !commitPendingOutput(path, error)) {
        discardPendingOutput();
        return false;
    }
    std::fprintf(stderr, "%s\nWrote %s\n", flashSummary(rows).c_str(), path.c_str());
    return true;
}

// Every frame of the range piped to ffmpeg as it is read back; the file appears only once
// ffmpeg has finished it.
int recordVideo(const CaptureOptions& o, OffscreenTarget& target, const std::string& temp,
                EncoderSettings encoding, const std::string& ffprobe) {
    const FrameRange range = framesBetween(o.from, o.to, o.fps);
    encoding.width = o.width;
    encoding.height = o.height;
    encoding.fps = o.fps;
    encoding.audioStart = frameSeconds(range.first, o.fps);
    encoding.duration = frameSeconds(range.count(), o.fps);
    if (reachesTheEnd(range, o.fps)) {
        encoding.holdSeconds = endingHoldSeconds;
        encoding.fadeSeconds = endingFadeSeconds;
    }
    encoding.output = temp;
    encoding.crf = o.crf;
    encoding.preset = o.preset.empty() ? defaultPreset : o.preset;
    encoding.part = o.part;
    if (o.part) {
        encoding.comment = partComment({range, o.fps, o.width, o.height, encoding.holdSeconds});
    }
    std::string error;
    std::unique_ptr<FlashAnalyser> analyser;
    std::string reportTemp;
    if (!o.flashReport.empty()) {
        reportTemp = createPendingOutput(o.flashReport, error);
        if (reportTemp.empty()) {
            return fail(error);
        }
        analyser = std::make_unique<FlashAnalyser>(o.fps, range.first);
    }
    ChildProcess encoder;
    if (!encoder.start(encoderArguments(encoding), false, error)) {
        return fail(error);
    }
    target.bind();
    const int drawnWidth = o.width * o.supersample;
    const int drawnHeight = o.height * o.supersample;
    std::unique_ptr<FlashLimiter> limiter;
    if (o.gentle) {
        limiter = std::make_unique<FlashLimiter>();
        drawGentleWarmUpFor(frameSeconds(range.first, o.fps), o.fps, *limiter, drawnWidth,
                            drawnHeight);
    } else {
        drawWarmUpFor(frameSeconds(range.first, o.fps), o.fps);
    }
    Progress progress(range, o.fps, stderr);
    // The oldest frame read back goes to the encoder while the one after it is drawn.
    std::vector<unsigned char> filtered;
    auto sendOldest = [&](long frame) {
        const unsigned char* pixels = target.take();
        bool sent = pixels != nullptr;
        if (sent && o.supersample > 1) {
            downsampleBox(pixels, o.width, o.height, o.supersample, filtered);
            pixels = filtered.data();
        }
        if (sent && analyser) {
            analyser->addFrame(pixels, o.width, o.height, 4);
        }
        if (sent) {
            sent = encoder.write(pixels, static_cast<size_t>(o.width) * o.height * 4);
        }
        target.release();
        progress.frameDone(sceneName(timelineScene(recordingDemoTime(frameSeconds(frame, o.fps)))));
        return sent;
    };
    bool sent = true;
    for (long n = range.first; n < range.end && sent; ++n) {
        target.bind();
        drawPinnedFrame(frameSeconds(n, o.fps), limiter.get(), drawnWidth, drawnHeight);
        target.queue();
        if (target.pending() == 2) {
            sent = sendOldest(n - 1);
        }
    }
    if (sent) {
        sent = sendOldest(range.end - 1);
    }
    if (!sent) {
        std::fputc('\n', stderr);
        return fail(writeFailure("ffmpeg stopped early (exit status " +
                                     std::to_string(encoder.finish()) + ")",
                                 temp, o.output) +
                    ": nothing written");
    }
    progress.finish();
    const int encoderStatus = encoder.finish();
    if (encoderStatus != 0) {
        return fail(
            writeFailure("ffmpeg failed (exit status " + std::to_string(encoderStatus) + ")", temp,
                         o.output) +
            ": nothing written");
    }
    const std::string incomplete = checkVideo(
        ffprobe, temp, o.output, range.count() + std::lround(encoding.holdSeconds * o.fps),
        encoding.duration + encoding.holdSeconds, o.fps, !o.part);
    if (!incomplete.empty()) {
        return fail(writeFailure(incomplete, temp, o.output) + ": nothing written");
    }
    if (!commitPendingOutput(o.output, error)) {
        return fail(error);
    }
    std::fprintf(stderr, "Wrote %s (%s, %dx%d, %d fps)\n", o.output.c_str(),
                 formatDuration(encoding.duration + encoding.holdSeconds).c_str(), o.width,
                 o.height, o.fps);
    if (analyser && !writeFlashReport(o.flashReport, reportTemp, analyser->seconds(), error)) {
        return fail(error);
    }
    return 0;
}

// Parts made apart (--part) joined into one video with the music.
int joinFiles(const CaptureOptions& o, const std::string& temp, const EncoderSettings& encoding,
              const std::string& ffprobe) {
    PartInfo whole;
    std::string error = joinParts(o.parts, encoding, ffprobe, temp, o.output, whole);
    if (!error.empty()) {
        return fail(error + ": nothing written");
    }
    const std::string incomplete = checkVideo(
        ffprobe, temp, o.output, framesHeld(whole),
        frameSeconds(whole.frames.count(), whole.fps) + whole.holdSeconds, whole.fps, true);
    if (!incomplete.empty()) {
        return fail(writeFailure(incomplete, temp, o.output) + ": nothing written");
    }
    if (!commitPendingOutput(o.output, error)) {
        return fail(error);
    }
    std::fprintf(
        stderr, "Wrote %s (%s, %dx%d, %d fps, frames %ld to %ld)\n", o.output.c_str(),
        formatDuration(frameSeconds(whole.frames.count(), whole.fps) + whole.holdSeconds).c_str(),
        whole.width, whole.height, whole.fps, whole.frames.first, whole.frames.end - 1);
    return 0;
}

// What both kinds of recording share: the checks that need no GL, the context, the program's own
// start-up, and the render target.
int capture(CaptureOptions o) {
    // The data is looked for before anything is written or started.
    if (!holdsDemoData(".")) {
        const std::string home = dataFolderFor(programFolder());
        if (home.empty()) {
            return fail("the demo's data (labShaders/, labshaders/, imgs/) is neither here nor "
                        "beside this program: run it in the folder that holds it, the runtime "
                        "folder of a build (build/runtime), or install it (share/heptad)");
        }
        // Paths are kept from the folder it was started in, which must still be there.
        char here[PATH_MAX];
        if (getcwd(here, sizeof here) == nullptr) {
            return fail(std::string("the folder it was started in is gone (") +
                        std::strerror(errno) + "): start it again from one that exists");
        }
        o.output = pathFromWorkingFolder(o.output);
        if (!o.flashReport.empty()) {
            o.flashReport = pathFromWorkingFolder(o.flashReport);
        }
        for (std::string& part : o.parts) {
            part = pathFromWorkingFolder(part);
        }
        if (chdir(home.c_str()) != 0) {
            return fail("cannot enter " + home + ", which holds the demo's data");
        }
        std::fprintf(stderr, "heptad-capture: reading the demo's data from %s\n", home.c_str());
    }
    // Files a recorder killed outright left here (its encoder still finished them).
    const std::string outputFolder = std::filesystem::path(o.output).parent_path().string();
    for (const std::string& left :
         removeAbandonedPartials(outputFolder.empty() ? "." : outputFolder)) {
        std::fprintf(stderr,
                     "heptad-capture: removed %s, left unfinished by a recorder that no longer "
                     "runs\n",
                     left.c_str());
    }
    std::string error;
    const std::string temp = createPendingOutput(o.output, error);
    if (temp.empty()) {
        return fail(error);
    }
    EncoderSettings encoding;
    std::string ffprobe;
    const FrameRange range = framesBetween(o.from, o.to, o.fps);
    if (!o.still) {
        encoding.ffmpeg = findOnPath("ffmpeg");
        if (encoding.ffmpeg.empty()) {
            return fail(o.join ? "ffmpeg not found on PATH: it joins the parts (install the ffmpeg "
                                 "package)"
                               : "ffmpeg not found on PATH: it encodes the video (install the "
                                 "ffmpeg package; --still needs no ffmpeg)");
        }
        ffprobe = ffprobeFor(encoding.ffmpeg);
        if (ffprobe.empty()) {
            return fail("ffprobe not found beside ffmpeg or on PATH: it reads the video back "
                        "before it is named (install the ffmpeg package)");
        }
        encoding.format = o.format;
        if (o.part) {
            // The music is added once, by the join.
        } else if (isMusicFile(musicFile)) {
            encoding.music = musicFile;
        } else {
            std::fprintf(stderr, "heptad-capture: no %s here: the sound track is silent\n",
                         musicFile);
        }
    }
    if (o.join) {
        return joinFiles(o, temp, encoding, ffprobe);
    }

    const std::string origin = makeHeadlessContext(o.gpu, error);
    if (origin.empty()) {
        return fail(error);
    }
    std::fprintf(stderr, "Drawing with %s, through %s\n",
                 reinterpret_cast<const char*>(glGetString(GL_RENDERER)), origin.c_str());

    if (o.still) {
        std::fprintf(stderr, "Rendering the frame at %g s of the demo at %dx%d into %s\n",
                     o.stillTime, o.width, o.height, o.output.c_str());
    } else {
        std::fprintf(stderr,
                     "Rendering %ld frames (%g s to %g s of the demo) at %dx%d, %d fps into %s\n",
                     range.count(), frameSeconds(range.first, o.fps),
                     frameSeconds(range.end, o.fps), o.width, o.height, o.fps, o.output.c_str());
        if (o.supersample > 1) {
            std::fprintf(stderr, "Each frame is drawn at %dx%d and filtered down\n",
                         o.width * o.supersample, o.height * o.supersample);
        }
        if (reachesTheEnd(range, o.fps)) {
            std::fprintf(
                stderr, "The last picture is then held %g s while the music ends: %s of video\n",
                endingHoldSeconds,
                formatDuration(frameSeconds(range.count(), o.fps) + endingHoldSeconds).c_str());
        }
    }
    const auto startUpBegan = std::chrono::steady_clock::now();
    // The picture's size, as the window's framebuffer is for the live program.
    runStartUp(o.width, o.height);
    if (startUpFailures() > 0) {
        return fail("start-up reported " + std::to_string(startUpFailures()) +
                    " failure(s) (on standard output): a recording would not show the demo; "
                    "nothing written");
    }
    std::fprintf(
        stderr, "Started up in %.1f s\n",
        std::chrono::duration<double>(std::chrono::steady_clock::now() - startUpBegan).count());
    OffscreenTarget target;
    if (!target.create(o.width * o.supersample, o.height * o.supersample, error)) {
        return fail(error);
    }

    return o.still ? recordStill(o, target, temp) : recordVideo(o, target, temp, encoding, ffprobe);
}
} // namespace

int main(int argc, char** argv) {
    const ParsedCaptureOptions parsed =
        parseCaptureOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "heptad-capture: %s (see --help)\n", parsed.error.c_str());
        return exitUsage;
    }
    if (parsed.options.help) {
        std::fputs(captureUsage().c_str(), stdout);
        return 0;
    }
    if (parsed.options.version) {
        std::puts("heptad-capture " HEPTAD_VERSION);
        return 0;
    }
    if (parsed.options.plan > 0) {
        // The program as found on PATH, or else by its full path, which names it from any
        // folder the commands run in.
        std::string program = argv[0];
        std::error_code unknown;
        const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", unknown);
        if (program.find('/') != std::string::npos && !unknown) {
            program = self.string();
        }
        for (const std::string& line : planCommands(parsed.options, program)) {
            std::printf("%s\n", line.c_str());
        }
        return 0;
    }
    installEmergencyStop();
    const int status = capture(parsed.options);
    // Whatever went wrong, no unfinished file stays (a finished one has been renamed).
    discardPendingOutput();
    return status;
}
