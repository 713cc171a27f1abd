// heptad-capture run as a user runs it, its videos decoded back with ffprobe and ffmpeg.
// Each capture runs in a scratch copy of the runtime folder whose music is a marker track:
// silence until 23 s, then a tone, so the sound's alignment with the picture can be measured.
#include "support/drum_ending.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <stb_image.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {
using Rgb = std::array<int, 3>;
// The scenes' clear colours in 8 bits: title (0.021, 0.01, 0.012), scenes 2 and 3
// (0.03, 0, 0.01), scene 5 (0.2, 0.7, 0.113).
const Rgb titleClear = {5, 3, 3};
const Rgb scene2Clear = {8, 0, 3};
const Rgb scene5Clear = {51, 179, 29};

struct Result {
    int status = -1;
    std::string output; // stdout and stderr together
};

Result run(const std::string& command) {
    Result result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.output.append(buffer, n);
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string capture() {
    return std::string(HEPTAD_RUNTIME_DIR) + "/heptad-capture";
}

// The runtime folder's data linked into a scratch folder, with the marker track as music and an
// empty "out" folder for the files under test.
class CaptureTest : public ::testing::Test {
  protected:
    fs::path folder;
    fs::path out;

    void SetUp() override {
        char name[] = "/tmp/heptad-capture-test-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder = name;
        for (const fs::directory_entry& entry : fs::directory_iterator(HEPTAD_RUNTIME_DIR)) {
            if (entry.path().filename() != "demotune.mp3") {
                fs::create_directory_symlink(entry.path(), folder / entry.path().filename());
            }
        }
        const Result tone =
            run("ffmpeg -v error -f lavfi -i \"aevalsrc='if(gte(t,23),0.5*sin(2*PI*440*t),0)'"
                ":s=44100:d=30\" -ac 2 -c:a libmp3lame -b:a 128k " +
                (folder / "demotune.mp3").string());
        ASSERT_EQ(tone.status, 0) << tone.output;
        out = folder / "out";
        fs::create_directory(out);
    }
    void TearDown() override { fs::remove_all(folder); }

    Result runCapture(const std::string& args, const std::string& environment = "") {
        return run("cd " + folder.string() + " && " + environment + " " + capture() + " " + args);
    }
    std::vector<std::string> outFiles() const {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(out)) {
            names.push_back(entry.path().filename());
        }
        return names;
    }
};

std::string probe(const fs::path& file, const std::string& stream, const std::string& entry) {
    Result r = run("ffprobe -v error -count_frames -select_streams " + stream +
                   " -show_entries stream=" + entry + " -of default=nw=1:nk=1 " + file.string());
    while (!r.output.empty() && r.output.back() == '\n') {
        r.output.pop_back();
    }
    return r.output;
}

// All frames of a video as packed RGB, top row first.
std::vector<std::vector<unsigned char>> decodeFrames(const fs::path& file, int width, int height) {
    std::vector<std::vector<unsigned char>> frames;
    FILE* pipe = popen(
        ("ffmpeg -v error -i " + file.string() + " -f rawvideo -pix_fmt rgb24 -").c_str(), "r");
    std::vector<unsigned char> frame(static_cast<size_t>(width) * height * 3);
    while (fread(frame.data(), 1, frame.size(), pipe) == frame.size()) {
        frames.push_back(frame);
    }
    pclose(pipe);
    return frames;
}

std::vector<unsigned char> loadPng(const fs::path& file, int& width, int& height) {
    int channels = 0;
    stbi_set_flip_vertically_on_load(0);
    unsigned char* data = stbi_load(file.c_str(), &width, &height, &channels, 3);
    if (data == nullptr) {
        return {};
    }
    std::vector<unsigned char> rgb(data, data + static_cast<size_t>(width) * height * 3);
    stbi_image_free(data);
    return rgb;
}

int distance(const Rgb& a, const Rgb& b) {
    return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

Rgb pixel(const std::vector<unsigned char>& rgb, size_t i) {
    return {rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]};
}

// The share of the picture in (nearly) exactly this colour: the background of a lossless frame.
double shareOf(const std::vector<unsigned char>& rgb, const Rgb& colour) {
    size_t count = 0;
    for (size_t i = 0; i < rgb.size() / 3; ++i) {
        count += distance(pixel(rgb, i), colour) <= 2 ? 1 : 0;
    }
    return static_cast<double>(count) / static_cast<double>(rgb.size() / 3);
}

// Of the dark background pixels of a decoded (lossy) frame, the share nearer colour a than b.
double votesFor(const std::vector<unsigned char>& rgb, const Rgb& a, const Rgb& b) {
    size_t forA = 0;
    size_t all = 0;
    for (size_t i = 0; i < rgb.size() / 3; ++i) {
        const int toA = distance(pixel(rgb, i), a);
        const int toB = distance(pixel(rgb, i), b);
        if (std::min(toA, toB) <= 6) {
            ++all;
            forA += toA < toB ? 1 : 0;
        }
    }
    return all == 0 ? 0.0 : static_cast<double>(forA) / static_cast<double>(all);
}

double meanDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    double sum = 0.0;
    for (size_t i = 0; i < a.size(); ++i) {
        sum += std::abs(static_cast<int>(a[i]) - static_cast<int>(b[i]));
    }
    return sum / static_cast<double>(a.size());
}

double meanLevel(const std::vector<unsigned char>& rgb) {
    double sum = 0.0;
    for (unsigned char v : rgb) {
        sum += v;
    }
    return rgb.empty() ? 0.0 : sum / static_cast<double>(rgb.size());
}

// The sound of a file as mono floats at 44.1 kHz.
std::vector<float> decodeSound(const fs::path& file) {
    std::vector<float> samples;
    FILE* pipe =
        popen(("ffmpeg -v error -i " + file.string() + " -ac 1 -ar 44100 -f f32le -").c_str(), "r");
    float block[4096];
    size_t n = 0;
    while ((n = fread(block, sizeof(float), 4096, pipe)) > 0) {
        samples.insert(samples.end(), block, block + n);
    }
    pclose(pipe);
    return samples;
}

double rms(const std::vector<float>& samples, double from, double to) {
    double sum = 0.0;
    const auto first = static_cast<size_t>(from * 44100);
    const auto end = std::min(samples.size(), static_cast<size_t>(to * 44100));
    for (size_t i = first; i < end; ++i) {
        sum += samples[i] * samples[i];
    }
    return end > first ? std::sqrt(sum / static_cast<double>(end - first)) : 0.0;
}

// Runs a command in the background and sends it a signal once `recorders` recorders have their
// context (the line that names the renderer) and have had a moment to get going; a fixed sleep
// lost that race on a busy machine. The output is the command's, then "status N".
std::string signalledRun(const fs::path& folder, const std::string& command,
                         const std::string& signal, int recorders = 1) {
    return "cd " + folder.string() + " && { " + command +
           " > signal.log 2>&1 & pid=$!; for i in $(seq 600); do"
           " [ $(grep -c '^Drawing with' signal.log) -ge " +
           std::to_string(recorders) + " ] && break; sleep 0.1; done; sleep 1; kill -" + signal +
           " $pid; wait $pid; echo \"status $?\"; cat signal.log; rm -f signal.log; }";
}

// A recording without a display, stopped by a signal.
std::string signalledRecording(const fs::path& folder, const std::string& capture,
                               const std::string& args, const std::string& signal) {
    return signalledRun(folder, "env -u DISPLAY " + capture + " " + args, signal);
}

// Whether, within five seconds, no process is left whose command line holds this text: the
// encoder of an unfinished file names it (".clip.mp4.XXXXXX.part").
bool helpersGone(const std::string& text) {
    for (int wait = 0; wait < 50; ++wait) {
        bool found = false;
        for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
            std::ifstream in(entry.path() / "cmdline", std::ios::binary);
            const std::string line((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
            found = found || line.find(text) != std::string::npos;
        }
        if (!found) {
            return true;
        }
        usleep(100000);
    }
    return false;
}

int brightest(const std::vector<unsigned char>& rgb) {
    return rgb.empty() ? 0 : *std::max_element(rgb.begin(), rgb.end());
}

// Until the scenes draw, every capture is black; the colour checks need them.
bool scenesDrawNothing(const std::vector<unsigned char>& rgb) {
    return brightest(rgb) == 0;
}
} // namespace

TEST_F(CaptureTest, ShortClipAcrossTheTitleBoundaryIsFrameExactAndInSync) {
    const Result r = runCapture("--size 320x180 --fps 10 --from 22 --to 26 --output out/clip.mp4");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("frame 40/40"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("scene 2"), std::string::npos) << r.output;
    ASSERT_EQ(outFiles(), std::vector<std::string>{"clip.mp4"}) << "no temporary file is left";
    const fs::path clip = out / "clip.mp4";

    EXPECT_EQ(probe(clip, "v:0", "codec_name"), "h264");
    EXPECT_EQ(probe(clip, "v:0", "nb_read_frames"), "40");
    EXPECT_EQ(probe(clip, "v:0", "r_frame_rate"), "10/1");
    EXPECT_EQ(probe(clip, "v:0", "width"), "320");
    EXPECT_EQ(probe(clip, "v:0", "height"), "180");
    EXPECT_EQ(probe(clip, "a:0", "codec_name"), "aac");
    EXPECT_NEAR(std::stod(probe(clip, "a:0", "duration")), 4.0, 0.05);
    // The marker tone starts at 23 s of the music, which must be 1 s into a clip from 22 s.
    const Result silence =
        run("ffmpeg -v info -i " + clip.string() + " -af silencedetect=n=-40dB:d=0.3 -f null -");
    const size_t end = silence.output.find("silence_end: ");
    ASSERT_NE(end, std::string::npos) << silence.output;
    EXPECT_NEAR(std::stod(silence.output.substr(end + 13)), 1.0, 0.025);

    const std::vector<std::vector<unsigned char>> frames = decodeFrames(clip, 320, 180);
    ASSERT_EQ(frames.size(), 40u);
    ASSERT_FALSE(scenesDrawNothing(frames[0]) && scenesDrawNothing(frames[30]))
        << "the scenes draw nothing: every pixel is black";
    EXPECT_GE(brightest(frames[0]), 48) << "the title shows the logo";
    // Frames 0 to 19 are 22.0 to 23.9 s (title). Frame 20 is 24.0 s, on the bound, where the
    // live program runs no scene; the recording draws scene 2 a float step later, so scene 2
    // begins with frame 20.
    for (size_t i = 0; i < 20; ++i) {
        EXPECT_GT(votesFor(frames[i], titleClear, scene2Clear), 0.5) << "frame " << i;
    }
    bool scene2Drew = false;
    for (size_t i = 20; i < frames.size(); ++i) {
        scene2Drew = scene2Drew || meanDifference(frames[i], frames[19]) > 1.0;
    }
    ASSERT_TRUE(scene2Drew) << "scene 2 draws nothing: its frames repeat the title's last picture";
    EXPECT_GE(brightest(frames[30]), 48) << "scene 2 shows its cubes";
    for (size_t i = 20; i < frames.size(); ++i) {
        const double title = votesFor(frames[i], titleClear, scene2Clear);
        EXPECT_LT(title, 0.5) << "frame " << i << ": " << title * 100
                              << "% of the background is the title's";
    }
}

TEST_F(CaptureTest, StillsShowTheSceneOfTheirTimeAlsoOnABound) {
    int width = 0;
    int height = 0;
    Result r = runCapture("--size 320x180 --still 24 --output out/bound.png");
    ASSERT_EQ(r.status, 0) << r.output;
    const std::vector<unsigned char> bound = loadPng(out / "bound.png", width, height);
    ASSERT_EQ(width, 320);
    ASSERT_EQ(height, 180);
    r = runCapture("--size 320x180 --still 100 --output out/scene5.png");
    ASSERT_EQ(r.status, 0) << r.output;
    const std::vector<unsigned char> scene5 = loadPng(out / "scene5.png", width, height);
    ASSERT_EQ(outFiles().size(), 2u) << "no temporary file is left";
    ASSERT_FALSE(scenesDrawNothing(bound) && scenesDrawNothing(scene5))
        << "the scenes draw nothing: every pixel is black";
    // 24 s is drawn a float step later: scene 2 has begun, on its own clear colour.
    EXPECT_GE(shareOf(bound, scene2Clear), 0.5);
    EXPECT_EQ(shareOf(bound, titleClear), 0.0);
    EXPECT_GE(shareOf(scene5, scene5Clear), 0.1) << "spheres on green";
}

TEST_F(CaptureTest, SameFrameIsIdenticalWithADisplayWithoutOneAndWithOneThatIsNotThere) {
    // The recorder makes its context through EGL: it neither needs nor opens an X display, so
    // a missing or a dead one changes nothing. Its first line names the renderer it got.
    const std::vector<std::string> environments = {"", "env -u DISPLAY", "env DISPLAY=:4711"};
    std::vector<std::vector<unsigned char>> pictures;
    for (const std::string& environment : environments) {
        const Result r = runCapture("--size 320x180 --still 150 --output out/a.png", environment);
        ASSERT_EQ(r.status, 0) << environment << ": " << r.output;
        EXPECT_EQ(r.output.rfind("Drawing with ", 0), 0u) << r.output;
        int width = 0;
        int height = 0;
        pictures.push_back(loadPng(out / "a.png", width, height));
        ASSERT_EQ(pictures.back().size(), 320u * 180u * 3u);
    }
    EXPECT_TRUE(pictures[0] == pictures[1]) << "the frame at 150 s differs without a display";
    EXPECT_TRUE(pictures[0] == pictures[2]) << "the frame at 150 s differs with a dead display";
}

TEST_F(CaptureTest, BadOptionsFailWithOneLineAndWriteNothing) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"--size 1920 --output out/x.mp4", "--size wants WIDTHxHEIGHT"},
        {"--fps 0 --output out/x.mp4", "--fps wants a whole number"},
        {"--from 30 --to 20 --output out/x.mp4", "--from (30) must come before --to (20)"},
        {"--still 30 --output out/x.mp4", "--still writes a PNG"},
        {"--frobnicate", "unknown option '--frobnicate'"},
        {"--size 640x480 --output out/x.mp4", "--size must be 16:9"},
        {"--output out/x.avi", "--output must end in .mp4 or .mkv"},
    };
    for (const auto& [args, message] : cases) {
        const Result r = runCapture(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.output.rfind("heptad-capture: " + message, 0), 0u) << r.output;
        EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
    }
    EXPECT_TRUE(outFiles().empty());
    const Result help = runCapture("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("--still T"), std::string::npos);
}

TEST_F(CaptureTest, MissingFfmpegEncoderGpuOrEglOrAnUnwritableOutputFailWithNothingWritten) {
    fs::create_directory(folder / "empty-path");
    Result r = runCapture("--output out/x.mp4", "PATH=" + (folder / "empty-path").string());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output.rfind("heptad-capture: ffmpeg not found on PATH", 0), 0u) << r.output;
    EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;

    // An ffmpeg without the VP9 encoder cannot write a .webm: it says so itself (as this stand-in
    // does) when it starts encoding, and the recording ends with nothing written.
    fs::create_directory(folder / "h264-only");
    std::ofstream(folder / "h264-only" / "ffmpeg")
        << "#!/bin/sh\necho \"Unknown encoder 'libvpx-vp9'\" >&2\nexit 1\n";
    fs::permissions(folder / "h264-only" / "ffmpeg", fs::perms::owner_all);
    fs::create_symlink(run("command -v ffprobe | tr -d '\\n'").output,
                       folder / "h264-only" / "ffprobe");
    r = runCapture("--size 160x90 --fps 10 --from 30 --to 31 --output out/x.webm",
                   "PATH=" + (folder / "h264-only").string());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("Unknown encoder 'libvpx-vp9'"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(": nothing written"), std::string::npos) << r.output;
    EXPECT_TRUE(outFiles().empty());

    r = runCapture("--output out/missing-folder/x.mp4");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "heptad-capture: cannot write out/missing-folder/x.mp4: No such file or "
                        "directory\n");
    fs::create_directory(out / "folder.mp4");
    r = runCapture("--output out/folder.mp4");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "heptad-capture: cannot write out/folder.mp4: it is a folder\n");
    fs::remove(out / "folder.mp4");
    // A device that EGL does not list is reported, not silently replaced.
    r = runCapture("--still 1 --gpu 63 --output out/x.png");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output.rfind("heptad-capture: --gpu 63: EGL lists ", 0), 0u) << r.output;
    EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
    // No EGL driver at all (the EGL library finds no vendor's): one line, and no file.
    r = runCapture("--size 160x90 --from 30 --to 31 --output out/x.mp4",
                   "__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent.json");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output.rfind("heptad-capture: EGL offers no GPU ", 0), 0u) << r.output;
    EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
    EXPECT_TRUE(outFiles().empty());
}

TEST_F(CaptureTest, FailingEncoderOrInterruptLeaveNothingBehindAndKeepTheOldFile) {
    std::ofstream(out / "clip.mp4") << "an earlier capture";
    // An "ffmpeg" that starts writing its output, then dies mid-stream.
    fs::create_directory(folder / "bad-bin");
    std::ofstream(folder / "bad-bin" / "ffmpeg")
        << "#!/bin/sh\nfor last; do :; done\necho partial > \"$last\"\n"
           "head -c 100000 > /dev/null\nexit 3\n";
    fs::permissions(folder / "bad-bin" / "ffmpeg", fs::perms::owner_all);
    Result r = runCapture("--size 320x180 --fps 10 --from 20 --to 30 --output out/clip.mp4",
                          "PATH=" + (folder / "bad-bin").string() + ":$PATH");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find("heptad-capture: ffmpeg stopped early (exit status 3): nothing "
                            "written"),
              std::string::npos)
        << r.output;

    // An ffmpeg that reports success for a file it cut short (as ffmpeg does when the disk fills
    // while it finishes the file) is read back and not believed.
    const std::string ffmpeg = run("command -v ffmpeg | tr -d '\\n'").output;
    std::ofstream(folder / "bad-bin" / "ffmpeg")
        << "#!/bin/sh\n"
        << ffmpeg << " \"$@\" || exit\nfor last; do :; done\n"
        << "f=${last#file:}\ntruncate -s $(($(stat -c %s \"$f\") * 6 / 10)) \"$f\"\n";
    r = runCapture("--size 320x180 --fps 10 --from 24.5 --to 26 --output out/clip.mp4",
                   "PATH=" + (folder / "bad-bin").string() + ":$PATH");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find("heptad-capture: ffmpeg left out/clip.mp4 "), std::string::npos)
        << r.output;

    // Over the file size limit (ulimit -f, in KiB), for the still and for the video (whose end,
    // the MP4 index, does not fit): one line that names the file and why, and the old file
    // stays.
    std::ofstream(out / "still.png") << "an earlier still";
    for (const auto& [args, line] : std::vector<std::pair<std::string, std::string>>{
             {"--size 320x180 --still 150 --output out/still.png",
              "heptad-capture: cannot write out/still.png: File too large\n"},
             {"--size 320x180 --fps 10 --from 24.5 --to 26 --output out/clip.mp4",
              "heptad-capture: cannot write out/clip.mp4: File too large; ffmpeg failed (exit "
              "status 1): nothing written\n"}}) {
        r = run("cd " + folder.string() + " && ulimit -f 40 && " + capture() + " " + args);
        EXPECT_EQ(r.status, 1) << r.output;
        EXPECT_NE(r.output.find(line), std::string::npos) << r.output;
    }
    std::ifstream oldStill(out / "still.png");
    std::string stillText;
    std::getline(oldStill, stillText);
    EXPECT_EQ(stillText, "an earlier still");
    fs::remove(out / "still.png");

    // Stopped while it works, without a display: the signal takes the unfinished file and the
    // encoder with it.
    r = run(signalledRecording(folder, capture(), "--size 320x180 --fps 10 --output out/clip.mp4",
                               "TERM"));
    EXPECT_NE(r.output.find("heptad-capture: interrupted: nothing written"), std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("status 143"), std::string::npos) << r.output;
    EXPECT_TRUE(helpersGone(".clip.mp4.")) << r.output;

    EXPECT_EQ(outFiles(), std::vector<std::string>{"clip.mp4"});
    std::ifstream old(out / "clip.mp4");
    std::string text;
    std::getline(old, text);
    EXPECT_EQ(text, "an earlier capture");
}

TEST_F(CaptureTest, MusicThatIsAFifoIsNeverOpenedAndTheSoundTrackIsSilent) {
    fs::remove(folder / "demotune.mp3");
    ASSERT_EQ(mkfifo((folder / "demotune.mp3").c_str(), 0600), 0);
    const Result r =
        runCapture("--size 160x90 --fps 10 --from 30 --to 30.5 --output out/a.mp4", "timeout 60");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(
        r.output.rfind("heptad-capture: no demotune.mp3 here: the sound track is silent\n", 0), 0u)
        << r.output;
    EXPECT_EQ(probe(out / "a.mp4", "a:0", "codec_name"), "aac");
}

TEST_F(CaptureTest, AnyOutputNameIsAFileInTheFormatItsExtensionNames) {
    // A colon would make ffmpeg read "take" as a protocol, a leading "-" an option.
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"take:1.mp4", "h264", "aac"}, {"-take.webm", "vp9", "opus"}, {"take.MKV", "h264", "aac"}};
    for (const auto& [name, video, sound] : cases) {
        const Result r = runCapture("--size 160x90 --fps 10 --from 30 --to 30.5 --output " + name);
        ASSERT_EQ(r.status, 0) << r.output;
        const fs::path file = folder / name;
        EXPECT_EQ(probe(file, "v:0", "codec_name"), video) << name;
        EXPECT_EQ(probe(file, "v:0", "nb_read_frames"), "5") << name;
        EXPECT_EQ(probe(file, "a:0", "codec_name"), sound) << name;
        fs::remove(file);
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        EXPECT_NE(entry.path().extension(), ".part") << "left behind: " << entry.path();
    }
}

TEST_F(CaptureTest, ACrashOrAKillTakesTheUnfinishedFileAndTheEncoderWithIt) {
    const std::string finale = "--size 320x180 --fps 10 --from 130 --output out/clip.mp4";
    Result r = run(signalledRecording(folder, capture(), finale, "ABRT"));
    EXPECT_NE(r.output.find("heptad-capture: crashed: nothing written"), std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("status 134"), std::string::npos) << "dies of SIGABRT: " << r.output;
    EXPECT_TRUE(helpersGone(".clip.mp4.")) << r.output;
    EXPECT_TRUE(outFiles().empty());

    // SIGKILL leaves no handler to run: the encoder goes because its parent did, finishing the
    // unfinished file first. The next recording into the folder removes it, and only it: not
    // the file of a process that runs, nor one of another machine sharing the folder.
    r = run(signalledRecording(folder, capture(), finale, "KILL"));
    EXPECT_NE(r.output.find("status 137"), std::string::npos) << r.output;
    EXPECT_TRUE(helpersGone(".clip.mp4.")) << r.output;
    const std::vector<std::string> left = outFiles();
    ASSERT_EQ(left.size(), 1u);
    const std::string& leftover = left[0];
    const size_t at = leftover.rfind('@');
    ASSERT_NE(at, std::string::npos) << leftover;
    const std::string running = ".live.mp4." + std::to_string(getpid()) + leftover.substr(at);
    const std::string elsewhere = ".other.mp4.1@elsewhere.AbCdEf.part";
    std::ofstream(out / running).put('x');
    std::ofstream(out / elsewhere).put('x');
    r = runCapture("--size 160x90 --still 30 --output out/next.png");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output.rfind("heptad-capture: removed out/" + leftover +
                                 ", left unfinished by a recorder that no longer runs\n",
                             0),
              0u)
        << r.output;
    std::vector<std::string> files = outFiles();
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{running, elsewhere, "next.png"}));
}

TEST_F(CaptureTest, WithoutItsDataOrWithBrokenDataItWritesNothing) {
    // The runtime's own recorder, started elsewhere, reads the data beside it; the file still
    // goes where the user said, relative to where it was started.
    fs::create_directory(folder / "elsewhere");
    Result r = run("cd " + (folder / "elsewhere").string() + " && " + capture() +
                   " --size 160x90 --still 30 --output ../out/here.png");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("reading the demo's data from " + std::string(HEPTAD_RUNTIME_DIR)),
              std::string::npos)
        << r.output;
    EXPECT_EQ(outFiles(), std::vector<std::string>{"here.png"});
    fs::remove(out / "here.png");

    // Started in a folder that has since been removed: it says so, and writes nowhere else.
    r = run("cd " + folder.string() + " && mkdir gone && cd gone && rmdir ../gone && " + capture() +
            " --size 160x90 --still 30 --output here.png");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "heptad-capture: the folder it was started in is gone (No such file or "
                        "directory): start it again from one that exists\n");
    EXPECT_FALSE(fs::exists(fs::path(HEPTAD_RUNTIME_DIR) / "here.png"));

    // A copy of the program in a folder without data, run from another without it.
    fs::create_directory(folder / "bin");
    fs::copy_file(capture(), folder / "bin" / "heptad-capture");
    fs::permissions(folder / "bin" / "heptad-capture", fs::perms::owner_all);
    r = run("cd " + out.string() + " && ../bin/heptad-capture --size 160x90 --output clip.mp4");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output.rfind("heptad-capture: the demo's data (labShaders/, labshaders/, imgs/) "
                             "is neither here nor beside this program: run it in the folder",
                             0),
              0u)
        << r.output;
    EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
    EXPECT_TRUE(outFiles().empty());

    // Data with a shader missing: the start-up reports it and the recording would not show
    // the demo.
    fs::remove(folder / "labshaders");
    fs::create_directory(folder / "labshaders");
    for (const fs::directory_entry& entry :
         fs::directory_iterator(fs::path(HEPTAD_RUNTIME_DIR) / "labshaders")) {
        if (entry.path().filename() != "Scene5.fs") {
            fs::create_symlink(entry.path(), folder / "labshaders" / entry.path().filename());
        }
    }
    r = runCapture("--size 160x90 --still 100 --output out/x.png");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ"), std::string::npos);
    EXPECT_NE(r.output.find("heptad-capture: start-up reported "), std::string::npos) << r.output;
    EXPECT_TRUE(outFiles().empty());
}

TEST_F(CaptureTest, FramesOnTheFinaleGridBoundRunOnWithoutAFlashOfSky) {
    // 141 s is where the middle grid takes over; at exactly 141.0 the live program would show
    // the bare sky through an unturned view. Frames 3, 6 and 9 are 140.9, 141.0 and 141.1 s.
    Result r = runCapture("--size 320x180 --fps 30 --from 140.8 --to 141.2 --output out/bound.mp4");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output.find("none"), std::string::npos) << "every frame draws a scene";
    const std::vector<std::vector<unsigned char>> frames =
        decodeFrames(out / "bound.mp4", 320, 180);
    ASSERT_EQ(frames.size(), 12u);
    std::vector<std::vector<unsigned char>> stills;
    for (const char* time : {"140.9", "141.1"}) {
        r = runCapture("--size 320x180 --still " + std::string(time) + " --output out/still.png");
        ASSERT_EQ(r.status, 0) << r.output;
        int width = 0;
        int height = 0;
        stills.push_back(loadPng(out / "still.png", width, height));
        ASSERT_EQ(stills.back().size(), frames[0].size());
    }
    ASSERT_FALSE(scenesDrawNothing(stills[0])) << "the finale draws nothing: every pixel is black";
    const double gridChange = meanDifference(stills[0], stills[1]);
    RecordProperty("grid_change", std::to_string(gridChange));
    EXPECT_LT(meanDifference(frames[3], stills[0]), 0.2 * gridChange) << "140.9 s";
    EXPECT_LT(meanDifference(frames[9], stills[1]), 0.2 * gridChange) << "141.1 s";
    // Every frame shows one of the two grids, the one on the bound the middle one.
    for (size_t i = 0; i < frames.size(); ++i) {
        const double early = meanDifference(frames[i], stills[0]);
        const double middle = meanDifference(frames[i], stills[1]);
        EXPECT_LT(i < 6 ? early : middle, 0.3 * gridChange)
            << "frame " << i << ": " << early << " from the early grid, " << middle
            << " from the middle one";
    }
}

TEST_F(CaptureTest, AGentleRecordingOfScene3sOpeningHasNoSecondThatFlashesTooMuch) {
    // Scene 3's opening flashes more than three times a second over much of a field; through
    // the limiter it must not, read pixel by pixel or as region means.
    const std::string clip = "--size 160x90 --from 44 --to 48 --output out/clip.mkv ";
    Result r = runCapture(clip + "--flash-report out/drawn.csv");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("pixel by pixel 2 s (45-46) fail"), std::string::npos) << r.output;
    std::ifstream drawn(out / "drawn.csv");
    std::string line;
    int rows = 0;
    while (std::getline(drawn, line)) {
        ++rows;
    }
    EXPECT_EQ(rows, 1 + 4) << "a header and the seconds 44 to 47";
    r = runCapture(clip + "--flash-report out/gentle.csv --gentle");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("pixel by pixel none fail, red none; region means none fail, red none"),
              std::string::npos)
        << r.output;
    // A report that cannot be written stops the recording before it starts: nothing is left.
    fs::remove_all(out);
    fs::create_directory(out);
    r = runCapture(clip + "--flash-report out/missing/f.csv");
    EXPECT_NE(r.status, 0);
    EXPECT_TRUE(outFiles().empty());
}

TEST_F(CaptureTest, ARecordingToTheEndHoldsItsLastPictureWhileTheLastChordRingsOut) {
    fs::remove(folder / "demotune.mp3"); // the real music, for its ending
    fs::create_symlink(fs::path(HEPTAD_RUNTIME_DIR) / "demotune.mp3", folder / "demotune.mp3");
    const Result r = runCapture("--size 160x90 --fps 1 --from 158 --output out/end.mp4");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("held 4 s while the music ends: 0:10 of video"), std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("Wrote out/end.mp4 (0:10, 160x90, 1 fps)"), std::string::npos)
        << r.output;
    const fs::path clip = out / "end.mp4";
    EXPECT_NEAR(std::stod(probe(clip, "v:0", "duration")), 10.0, 0.05);
    EXPECT_NEAR(std::stod(probe(clip, "a:0", "duration")), 10.0, 0.05);

    // Six frames (158 to 163 s), then the last of them held, fading out over the last 2 s.
    const std::vector<std::vector<unsigned char>> frames = decodeFrames(clip, 160, 90);
    ASSERT_EQ(frames.size(), 10u);
    for (size_t i = 6; i < 8; ++i) {
        EXPECT_LT(meanDifference(frames[i], frames[5]), 1.0) << "frame " << i;
    }
    EXPECT_LT(meanLevel(frames[9]), 0.6 * meanLevel(frames[5]));

    // The drums stop with the final chord, 2.3 s into the clip (160.3 s of the demo), which
    // then rings on to the fade; the file ends in silence.
    const std::vector<float> sound = decodeSound(clip);
    ASSERT_GT(sound.size(), 9u * 44100u);
    const double beat = 0.46875;
    const double chord =
        lastDrumBeat(sound, 44100, std::fmod(beat - std::fmod(158.0, beat), beat), beat);
    EXPECT_NEAR(chord, 160.3125 - 158.0, 0.01);
    EXPECT_GT(rms(sound, 6.0, 7.0), 0.1 * rms(sound, 0.0, 2.0)) << "the chord still rings";
    EXPECT_LT(rms(sound, 9.9, 10.0), 0.01 * rms(sound, 0.0, 2.0)) << "faded out";
}

namespace {
// The largest neighbour-to-neighbour colour changes of a picture: the hard steps of its edges.
size_t hardSteps(const std::vector<unsigned char>& rgb, int width, int height) {
    size_t steps = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(y) * width + x;
            if (x + 1 < width && distance(pixel(rgb, i), pixel(rgb, i + 1)) > 150) {
                ++steps;
            }
            if (y + 1 < height && distance(pixel(rgb, i), pixel(rgb, i + width)) > 150) {
                ++steps;
            }
        }
    }
    return steps;
}
} // namespace

TEST_F(CaptureTest, APlanRunThroughParallelJoinsFrameExactlyWithTheSoundOnce) {
    // 3 s of scene 2, whose cubes move in every frame, in two parts run by GNU parallel and in
    // one process.
    const std::string clip = "--size 320x180 --fps 10 --from 24.5 --to 27.5";
    Result r = runCapture(clip + " --output out/one.mp4");
    ASSERT_EQ(r.status, 0) << r.output;
    r = runCapture(clip + " --plan 2 --output out/two.mp4 > plan.txt");
    ASSERT_EQ(r.status, 0) << r.output;
    r = run("cd " + folder.string() +
            " && head -n -1 plan.txt | env -u DISPLAY parallel --halt now,fail=1"
            " && tail -n 1 plan.txt | sh");
    ASSERT_EQ(r.status, 0) << r.output;
    std::vector<std::string> files = outFiles();
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files,
              (std::vector<std::string>{"one.mp4", "two.mp4", "two.part1.mp4", "two.part2.mp4"}))
        << "no unfinished file is left";

    const fs::path two = out / "two.mp4";
    EXPECT_EQ(probe(two, "v:0", "nb_read_frames"), "30");
    EXPECT_EQ(probe(two, "v:0", "r_frame_rate"), "10/1");
    EXPECT_EQ(probe(two, "a:0", "codec_name"), "aac");
    EXPECT_NEAR(std::stod(probe(two, "a:0", "duration")), std::stod(probe(two, "v:0", "duration")),
                0.025);
    // The sound of the whole, cut once, is the sound of the one-process recording.
    const std::string sound = " -map 0:a -f md5 -";
    EXPECT_EQ(run("ffmpeg -v error -i " + two.string() + sound).output,
              run("ffmpeg -v error -i " + (out / "one.mp4").string() + sound).output);

    // Every frame is the one-process frame of the same number, not a neighbour: the seam
    // (where the second part's first, key frame meets the last of the first) included.
    const auto one = decodeFrames(out / "one.mp4", 320, 180);
    const auto joined = decodeFrames(two, 320, 180);
    ASSERT_EQ(one.size(), 30u);
    ASSERT_EQ(joined.size(), 30u);
    for (size_t i = 0; i < joined.size(); ++i) {
        const double same = meanDifference(joined[i], one[i]);
        EXPECT_LT(same, 1.5) << "frame " << i;
        for (size_t other : {i - 1, i + 1}) {
            if (other < one.size() && meanDifference(one[other], one[i]) > 3.0 * same) {
                EXPECT_LT(same, meanDifference(joined[i], one[other])) << "frame " << i;
            }
        }
    }

    // parallel stopped while the parts render: the parts stop, and neither they, their
    // unfinished files nor their encoders are left.
    r = runCapture("--size 320x180 --fps 10 --from 130 --plan 2 --output out/stop.mp4 > plan.txt");
    ASSERT_EQ(r.status, 0) << r.output;
    r = run(
        signalledRun(folder, "head -n -1 plan.txt | env -u DISPLAY parallel --ungroup", "TERM", 2));
    EXPECT_EQ(r.output.find("status 0"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("heptad-capture: interrupted: nothing written"), std::string::npos)
        << r.output;
    EXPECT_TRUE(helpersGone("stop.part")) << r.output;
    files = outFiles();
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files,
              (std::vector<std::string>{"one.mp4", "two.mp4", "two.part1.mp4", "two.part2.mp4"}));
}

TEST_F(CaptureTest, PartsMadeApartJoinInOrderOnlyAndTheLastHoldsTheEnding) {
    const std::string part = "--part --size 160x90 --fps 10 ";
    Result r = runCapture(part + "--from 163 --to 163.3 --output out/a.mp4");
    ASSERT_EQ(r.status, 0) << r.output;
    r = runCapture(part + "--from 163.3 --output out/b.mp4");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(probe(out / "a.mp4", "a", "codec_name"), "") << "a part holds no sound";

    r = runCapture("--join out/b.mp4 out/a.mp4 --output out/ba.mp4");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "heptad-capture: out/b.mp4 ends the demo, so it must be the last part: "
                        "nothing written\n");
    // Three frames, then seven and the last picture held 4 s while the music ends.
    r = runCapture("--join out/a.mp4 out/b.mp4 --output out/ab.mp4");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("Wrote out/ab.mp4 (0:05, 160x90, 10 fps, frames 1630 to 1639)"),
              std::string::npos)
        << r.output;
    const fs::path joined = out / "ab.mp4";
    EXPECT_EQ(probe(joined, "v:0", "nb_read_frames"), "50");
    EXPECT_NEAR(std::stod(probe(joined, "a:0", "duration")), 5.0, 0.05);
    EXPECT_FALSE(fs::exists(out / "ba.mp4"));

    // A part cut short keeps its comment, which claims frames it no longer holds; a FIFO is
    // refused before anything opens it.
    r = run("cd " + folder.string() +
            " && ffmpeg -v error -i out/a.mp4 -c copy -frames:v 2 out/short.mp4");
    ASSERT_EQ(r.status, 0) << r.output;
    r = runCapture("--join out/short.mp4 out/b.mp4 --output out/sb.mp4");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "heptad-capture: out/short.mp4 holds 2 frames but its comment names 3 "
                        "(frames 1630 to 1632): it is cut short or not that part: nothing "
                        "written\n");
    fs::remove(out / "short.mp4");
    ASSERT_EQ(mkfifo((out / "fifo.mp4").c_str(), 0600), 0);
    r = runCapture("--join out/a.mp4 out/fifo.mp4 --output out/af.mp4", "timeout 20");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "heptad-capture: out/fifo.mp4 is not a regular file: nothing written\n");
    fs::remove(out / "fifo.mp4");

    // A join stopped by Ctrl-C leaves neither its output nor a list of the parts behind. An
    // "ffmpeg" that waits (beside the real ffprobe) stands in for a long join.
    fs::create_directory(folder / "slow-bin");
    std::ofstream(folder / "slow-bin" / "ffmpeg") << "#!/bin/sh\ntouch started\nexec sleep 29.5\n";
    fs::permissions(folder / "slow-bin" / "ffmpeg", fs::perms::owner_all);
    std::string ffprobe = run("command -v ffprobe").output;
    ffprobe.pop_back();
    fs::create_symlink(ffprobe, folder / "slow-bin" / "ffprobe");
    auto tmpEntries = [] {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator("/tmp")) {
            names.push_back(entry.path().filename());
        }
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> tmpBefore = tmpEntries();
    r = run("cd " + folder.string() + " && { PATH=" + (folder / "slow-bin").string() + ":$PATH " +
            capture() +
            " --join out/a.mp4 out/b.mp4 --output out/slow.mp4 > join.log 2>&1 &"
            " pid=$!; for i in $(seq 600); do [ -e started ] && break; sleep 0.1; done;"
            " kill -INT $pid; wait $pid; echo \"status $?\"; cat join.log; }");
    EXPECT_NE(r.output.find("status 130"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("heptad-capture: interrupted: nothing written"), std::string::npos)
        << r.output;
    EXPECT_TRUE(helpersGone("29.5"));
    std::vector<std::string> files = outFiles();
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"a.mp4", "ab.mp4", "b.mp4"}));
    std::vector<std::string> tmpNew;
    for (const std::string& name : tmpEntries()) {
        if (!std::binary_search(tmpBefore.begin(), tmpBefore.end(), name) &&
            name.rfind("heptad-join", 0) == 0) {
            tmpNew.push_back(name);
        }
    }
    EXPECT_TRUE(tmpNew.empty()) << "left in /tmp: " << tmpNew.front();
}

TEST_F(CaptureTest, SupersampledStillHasTheAskedSizeAndSofterEdges) {
    Result r = runCapture("--size 320x180 --still 158 --output out/plain.png");
    ASSERT_EQ(r.status, 0) << r.output;
    r = runCapture("--size 320x180 --still 158 --supersample 3 --output out/smooth.png");
    ASSERT_EQ(r.status, 0) << r.output;
    int width = 0;
    int height = 0;
    const std::vector<unsigned char> plain = loadPng(out / "plain.png", width, height);
    const std::vector<unsigned char> smooth = loadPng(out / "smooth.png", width, height);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 180);
    ASSERT_FALSE(scenesDrawNothing(plain)) << "the finale draws nothing: every pixel is black";
    // A large sphere's rim against the sky: stairs without, graded with (measured 339 and 193).
    EXPECT_LT(hardSteps(smooth, width, height), hardSteps(plain, width, height) * 3 / 4);
    EXPECT_LT(meanDifference(plain, smooth), 3.0) << "the same picture, only smoother";
}
