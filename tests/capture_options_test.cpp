// The recorder's command line, frame arithmetic and encoder command, its helpers and the way it
// writes files, checked without GL.
#include "base/child_process.h"
#include "base/whole_file.h"
#include "capture/capture_options.h"
#include "capture/downsample.h"
#include "capture/encoder.h"
#include "capture/progress.h"
#include "capture/recording_parts.h"
#include "demo/frame_plan.h"

#include "scenes/finale_layout.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

namespace {
ParsedCaptureOptions parse(std::vector<std::string> args) {
    return parseCaptureOptions(args);
}

bool hasPair(const std::vector<std::string>& args, const std::string& name,
             const std::string& value) {
    for (size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == name && args[i + 1] == value) {
            return true;
        }
    }
    return false;
}
} // namespace

TEST(CaptureOptions, DefaultsRecordTheWholeDemoInFullHd) {
    const ParsedCaptureOptions parsed = parse({});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.width, 1920);
    EXPECT_EQ(parsed.options.height, 1080);
    EXPECT_EQ(parsed.options.fps, 60);
    EXPECT_EQ(parsed.options.from, 0.0);
    EXPECT_EQ(parsed.options.to, 164.0);
    EXPECT_EQ(parsed.options.output, "heptad.mp4");
    EXPECT_FALSE(parsed.options.still);
    EXPECT_FALSE(parsed.options.help);
}

TEST(CaptureOptions, EveryOptionInBothSpellings) {
    const ParsedCaptureOptions a =
        parse({"--size", "320x180", "--fps", "10", "--from", "22", "--to", "26.5", "--output",
               "out/clip.mp4", "--flash-report", "f.csv", "--gentle"});
    const ParsedCaptureOptions b =
        parse({"--size=320x180", "--fps=10", "--from=22", "--to=26.5", "-o", "out/clip.mp4",
               "--flash-report=f.csv", "--gentle"});
    for (const ParsedCaptureOptions& parsed : {a, b}) {
        ASSERT_EQ(parsed.error, "");
        EXPECT_EQ(parsed.options.width, 320);
        EXPECT_EQ(parsed.options.height, 180);
        EXPECT_EQ(parsed.options.fps, 10);
        EXPECT_EQ(parsed.options.from, 22.0);
        EXPECT_EQ(parsed.options.to, 26.5);
        EXPECT_EQ(parsed.options.output, "out/clip.mp4");
        EXPECT_EQ(parsed.options.flashReport, "f.csv");
        EXPECT_TRUE(parsed.options.gentle);
    }
    EXPECT_TRUE(parse({"--size", "100x50", "--help", "--bogus"}).options.help);
}

TEST(CaptureOptions, StillTakesATimeAndAPngName) {
    ParsedCaptureOptions parsed = parse({"--still", "23.5", "--output", "frame.PNG"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_TRUE(parsed.options.still);
    EXPECT_EQ(parsed.options.stillTime, 23.5);
    parsed = parse({"--still", "164", "--size", "321x181"}); // odd sizes are fine for a picture
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.output, "heptad.png");
    EXPECT_EQ(parsed.options.width, 321);
}

TEST(CaptureOptions, BadCommandLinesSayWhatIsWrong) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"1920x1080"}, "unknown option '1920x1080'"},
        {{"--size"}, "--size needs a value"},
        {{"--size", "1920"}, "--size wants WIDTHxHEIGHT"},
        {{"--size", "1920x"}, "--size wants WIDTHxHEIGHT"},
        {{"--size", "wide x high"}, "--size wants WIDTHxHEIGHT"},
        {{"--size", "-320x180"}, "--size wants WIDTHxHEIGHT"},
        {{"--size", "8x8"}, "--size wants WIDTHxHEIGHT"},
        {{"--size", "10000x100"}, "--size wants WIDTHxHEIGHT"},
        {{"--size", "99999999999999999999x100"}, "--size wants WIDTHxHEIGHT"},
        {{"--size", "321x180"}, "--size must be even both ways for a video"},
        {{"--fps", "0"}, "--fps wants a whole number"},
        {{"--fps", "29.97"}, "--fps wants a whole number"},
        {{"--fps", "241"}, "--fps wants a whole number"},
        {{"--fps="}, "--fps wants a whole number"},
        {{"--from", "-1"}, "--from wants seconds from 0 to 164"},
        {{"--to", "165"}, "--to wants seconds from 0 to 164"},
        {{"--to", "nan"}, "--to wants seconds from 0 to 164"},
        {{"--from", "1e999"}, "--from wants seconds from 0 to 164"},
        {{"--from", "12s"}, "--from wants seconds from 0 to 164"},
        {{"--from", "30", "--to", "20"}, "--from (30) must come before --to (20)"},
        {{"--from", "30", "--to", "30"}, "--from (30) must come before --to (30)"},
        {{"--fps", "10", "--from", "1.01", "--to", "1.05"}, "no frame at 10 fps lies between"},
        {{"--still", "30", "--from", "20"}, "--still renders one frame: it takes no --from"},
        {{"--still", "30", "--output", "frame.mp4"}, "--still writes a PNG"},
        {{"--still", "200"}, "--still wants seconds from 0 to 164"},
        {{"--output", ""}, "--output needs a file name"},
        {{"--size", "640x480"}, "--size must be 16:9"},
        {{"--size", "1080x1920"}, "--size must be 16:9"},
        {{"--still", "30", "--size", "100x100"}, "--size must be 16:9"},
        {{"--output", "clip.webm.avi"}, "--output must end in .mp4 or .mkv"},
        {{"--output", "clip"}, "--output must end in .mp4 or .mkv"},
        {{"--crf", "-1"}, "--crf wants a whole number"},
        {{"--crf", "64", "-o", "clip.webm"}, "--crf wants a whole number"},
        {{"--crf", "52"}, "--crf wants 0 (best) to 51 for H.264"},
        {{"--flash-report"}, "--flash-report needs a value"},
        {{"--flash-report="}, "--flash-report needs a file name"},
        {{"--flash-report", "f.csv", "--still", "3"}, "--flash-report checks the frames"},
    };
    for (const auto& [args, message] : cases) {
        const std::string error = parse(args).error;
        EXPECT_EQ(error.rfind(message, 0), 0u) << "'" << error << "' for " << args[0];
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

TEST(CaptureOptions, SixteenByNineToTheNearestPixel) {
    for (const char* size : {"1920x1080", "854x480", "640x360", "160x90"}) {
        EXPECT_EQ(parse({"--size", size}).error, "") << size;
    }
    EXPECT_EQ(parse({"--size", "321x181", "--still", "3"}).error, "");
}

TEST(CaptureOptions, TheOutputNamePicksTheFormatAndItsQualityScale) {
    ParsedCaptureOptions parsed = parse({"-o", "a.MKV"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.format, VideoFormat::Matroska);
    EXPECT_EQ(parsed.options.crf, 18);
    parsed = parse({"-o", "a.webm"});
    EXPECT_EQ(parsed.options.format, VideoFormat::WebM);
    EXPECT_EQ(parsed.options.crf, 31);
    parsed = parse({"-o", "a.webm", "--crf", "63"});
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.crf, 63);
    parsed = parse({"--crf=0"});
    EXPECT_EQ(parsed.options.format, VideoFormat::Mp4);
    EXPECT_EQ(parsed.options.crf, 0);
    EXPECT_NE(captureUsage().find("-o, --output"), std::string::npos);
}

TEST(FramePlan, FrameNShowsNOverFpsFromZero) {
    EXPECT_EQ(frameSeconds(0, 60), 0.0);
    EXPECT_EQ(frameSeconds(1440, 60), 24.0);
    EXPECT_FLOAT_EQ(static_cast<float>(frameSeconds(1439, 60)), 23.983334f);

    FrameRange all = framesBetween(0.0, 164.0, 60);
    EXPECT_EQ(all.first, 0);
    EXPECT_EQ(all.count(), 9840); // 164 s exactly: the frame at 164.0 would show nothing new
    FrameRange clip = framesBetween(22.0, 26.0, 10);
    EXPECT_EQ(clip.first, 220);
    EXPECT_EQ(clip.count(), 40);
    // Rounding of seconds * fps must not shift a range by a frame.
    EXPECT_EQ(framesBetween(22.3, 23.0, 60).first, 1338);
    EXPECT_EQ(framesBetween(0.7, 1.0, 30).first, 21);
    // A start between two frames begins at the next one.
    EXPECT_EQ(framesBetween(0.05, 1.0, 10).first, 1);
    EXPECT_EQ(framesBetween(0.05, 1.0, 10).count(), 9);
}

TEST(FramePlan, WarmUpRunsTheLastFrameOfEachEarlierSceneThenThePreviousFrame) {
    EXPECT_TRUE(warmUpFrames(0, 60).empty());
    EXPECT_EQ(warmUpFrames(1, 60), std::vector<long>{0});
    // Frame 6000 (100 s, scene 5): title, scenes 2 to 4 end at 24, 44, 67, 83 s.
    EXPECT_EQ(warmUpFrames(6000, 60), (std::vector<long>{1439, 2639, 4019, 4979, 5999}));
    // 24.0 shows what the last title frame left; just after it the bound frame adds nothing.
    EXPECT_EQ(warmUpFrames(1440, 60), std::vector<long>{1439});
    EXPECT_EQ(warmUpFrames(1441, 60), (std::vector<long>{1439, 1440}));
    // At 7 fps no frame lands on 24: the title's last is 167 / 7 = 23.86 s.
    EXPECT_EQ(warmUpFrames(7 * 30, 7), (std::vector<long>{167, 209}));
    for (long n : warmUpFrames(9839, 60)) {
        EXPECT_LT(n, 9839);
    }
    EXPECT_EQ(warmUpFrames(9839, 60).size(), 7u); // six earlier scenes and the frame before
}

TEST(FramePlan, GlitchTimesAreTheSceneAndFinaleGridBounds) {
    EXPECT_EQ(glitchTimes(), (std::vector<float>{24, 44, 67, 83, 112, 129, 141, 151, 164}));
    for (float bound : glitchTimes()) {
        EXPECT_EQ(recordingDemoTime(bound), std::nextafter(bound, 1000.0f)) << bound;
    }
    EXPECT_EQ(recordingDemoTime(140.9), 140.9f);
    EXPECT_EQ(recordingDemoTime(30.0), 30.0f);
}

TEST(FramePlan, EveryRecordedFrameDrawsASceneAndInTheFinaleAGrid) {
    for (int fps : {1, 24, 25, 30, 50, 60, 120}) {
        const FrameRange all = framesBetween(0.0, 164.0, fps);
        for (long n = all.first; n < all.end; ++n) {
            const double seconds = frameSeconds(n, fps);
            const float demoTime = recordingDemoTime(seconds);
            const TimelineScene scene = timelineScene(demoTime);
            ASSERT_NE(scene, TimelineScene::None) << n << " at " << fps << " fps";
            if (scene == TimelineScene::Finale) {
                ASSERT_NE(finaleFrameAt(demoTime).window, FinaleWindow::None) << seconds;
            }
            // Frame n is the demo at n / fps, within one float step.
            const double step =
                std::nextafter(static_cast<float>(seconds), 1000.0f) - static_cast<float>(seconds);
            ASSERT_LE(std::abs(demoTime - seconds), step) << seconds;
        }
    }
}

TEST(FramePlan, SceneNamesFollowTheTimeline) {
    EXPECT_STREQ(sceneName(timelineScene(0.0f)), "title");
    EXPECT_STREQ(sceneName(timelineScene(24.0f)), "none");
    EXPECT_STREQ(sceneName(timelineScene(30.0f)), "scene 2");
    EXPECT_STREQ(sceneName(timelineScene(150.0f)), "finale");
}

TEST(Encoder, PipesRawFramesAndTrimsTheMusicToThePicture) {
    EncoderSettings settings;
    settings.ffmpeg = "/usr/bin/ffmpeg";
    settings.width = 320;
    settings.height = 180;
    settings.fps = 10;
    settings.audioStart = 22.0;
    settings.duration = 4.0;
    settings.music = "demotune.mp3";
    settings.output = "out/.clip.mp4.abc123.part";
    std::vector<std::string> args = encoderArguments(settings);
    EXPECT_EQ(args.front(), "/usr/bin/ffmpeg");
    EXPECT_TRUE(hasPair(args, "-crf", "18"));
    EXPECT_EQ(args.back(), "file:out/.clip.mp4.abc123.part");
    EXPECT_TRUE(hasPair(args, "-f", "rawvideo"));
    EXPECT_TRUE(hasPair(args, "-pix_fmt", "rgba"));
    EXPECT_TRUE(hasPair(args, "-video_size", "320x180"));
    EXPECT_TRUE(hasPair(args, "-framerate", "10"));
    EXPECT_TRUE(hasPair(args, "-i", "pipe:0"));
    EXPECT_TRUE(hasPair(args, "-i", "file:demotune.mp3"));
    EXPECT_TRUE(hasPair(args, "-af", "atrim=start=22.000000,asetpts=PTS-STARTPTS,apad"));
    EXPECT_TRUE(hasPair(args, "-t", "4.000000"));
    EXPECT_TRUE(hasPair(args, "-f", "mp4"));
    EXPECT_TRUE(hasPair(args, "-c:v", "libx264"));
    EXPECT_TRUE(hasPair(args, "-c:a", "aac"));
    // GL's bottom-up rows are turned over by the encoder, not per frame by the capture.
    EXPECT_TRUE(hasPair(args, "-vf",
                        "vflip,scale=out_color_matrix=bt709:out_range=tv,"
                        "format=yuv420p"));

    settings.music = "";
    args = encoderArguments(settings);
    EXPECT_TRUE(hasPair(args, "-f", "lavfi"));
    EXPECT_EQ(std::count(args.begin(), args.end(), "-i"), 2);
    // A failed write ends ffmpeg with a failure, the trailer's too, recording or joining.
    EXPECT_EQ(std::count(args.begin(), args.end(), "-xerror"), 1);
    args = joinArguments(settings);
    EXPECT_EQ(std::count(args.begin(), args.end(), "-xerror"), 1);
}

TEST(Encoder, NamesAreFilesFormatsFollowTheSettingsAndTheEndingIsHeld) {
    EncoderSettings settings;
    settings.ffmpeg = "ffmpeg";
    settings.music = "-take:2.mp3";
    settings.output = "-take:1.webm";
    settings.format = VideoFormat::WebM;
    settings.crf = 40;
    settings.duration = 4.0;
    settings.holdSeconds = 4.0;
    settings.fadeSeconds = 2.0;
    std::vector<std::string> args = encoderArguments(settings);
    EXPECT_EQ(args.back(), "file:-take:1.webm");
    EXPECT_TRUE(hasPair(args, "-i", "file:-take:2.mp3"));
    EXPECT_TRUE(hasPair(args, "-f", "webm"));
    EXPECT_TRUE(hasPair(args, "-c:v", "libvpx-vp9"));
    EXPECT_TRUE(hasPair(args, "-c:a", "libopus"));
    EXPECT_TRUE(hasPair(args, "-crf", "40"));
    // Four seconds of frames, then the last one held four more, both fading over the last two.
    EXPECT_TRUE(hasPair(args, "-t", "8.000000"));
    const auto filter = [&args](const char* name) {
        return *(std::find(args.begin(), args.end(), name) + 1);
    };
    EXPECT_NE(filter("-vf").find("tpad=stop_mode=clone:stop_duration=4.000000,fade=t=out:st="
                                 "6.000000:d=2.000000"),
              std::string::npos);
    EXPECT_NE(filter("-af").find("apad,afade=t=out:st=6.000000:d=2.000000"), std::string::npos);
    settings.format = VideoFormat::Matroska;
    args = encoderArguments(settings);
    EXPECT_TRUE(hasPair(args, "-f", "matroska"));
    EXPECT_TRUE(hasPair(args, "-c:v", "libx264"));
}

TEST(Progress, DurationsReadAsClockTimes) {
    EXPECT_EQ(formatDuration(0.0), "0:00");
    EXPECT_EQ(formatDuration(4.4), "0:04");
    EXPECT_EQ(formatDuration(164.0), "2:44");
    EXPECT_EQ(formatDuration(3725.0), "1:02:05");
    EXPECT_EQ(formatDuration(-3.0), "0:00");
}

TEST(Progress, TimeLeftWeighsTheScenesAheadNotThePaceOfThoseBehind) {
    // A whole recording at 10 fps whose title took 8 s: the naive guess from that pace,
    // 1400 more frames at 30 fps, is 47 s, while scene 5 and the finale cost minutes.
    const std::vector<double> whole = expectedCostsBefore(framesBetween(0.0, 164.0, 10), 10);
    const double afterTitle = secondsLeft(whole, 240, 8.0);
    EXPECT_GT(afterTitle, 5 * 47.0);
    // Frames that cost what the weights say: the estimate is the rest of the weights.
    double ahead = 0.0;
    for (long n = 240; n < 1640; ++n) {
        ahead += expectedFrameCost(recordingDemoTime(n / 10.0));
    }
    EXPECT_NEAR(secondsLeft(whole, 240, 240 * expectedFrameCost(12.0f)), ahead, 1e-6 * ahead);
    // Within one part of the finale the pace so far is all there is to go by.
    const std::vector<double> late = expectedCostsBefore(framesBetween(155.0, 160.0, 10), 10);
    EXPECT_NEAR(secondsLeft(late, 10, 30.0), 120.0, 1e-9);
    EXPECT_EQ(secondsLeft(late, 50, 150.0), 0.0);
    EXPECT_EQ(secondsLeft(late, 0, 0.0), -1.0);
}

TEST(Progress, IntoALogItWritesAPlainLineEveryFivePercent) {
    std::FILE* log = std::tmpfile();
    ASSERT_NE(log, nullptr);
    {
        Progress progress(framesBetween(30.0, 40.0, 10), 10, log);
        for (int n = 0; n < 100; ++n) {
            progress.frameDone("scene 2");
        }
        progress.finish();
    }
    std::rewind(log);
    std::string text;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, log)) > 0) {
        text.append(buffer, n);
    }
    std::fclose(log);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 21) << text;
    EXPECT_EQ(text.rfind("frame 5/100 (5%)  scene 2", 0), 0u) << text;
    EXPECT_NE(text.find("frame 100/100 (100%)"), std::string::npos) << text;
}

TEST(CaptureOptions, SpeedOptionsPartsAndJoin) {
    ParsedCaptureOptions parsed = parse({"--preset", "veryfast", "--plan", "3", "--supersample=2",
                                         "--size", "640x360", "--gpu", "1"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.preset, "veryfast");
    EXPECT_EQ(parsed.options.plan, 3);
    EXPECT_EQ(parsed.options.supersample, 2);
    EXPECT_EQ(parsed.options.gpu, 1);
    EXPECT_EQ(parse({}).options.plan, 0);
    EXPECT_EQ(parse({}).options.gpu, -1);

    parsed = parse({"--join", "a.mp4", "b.mp4", "-o", "ab.mp4"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_TRUE(parsed.options.join);
    EXPECT_EQ(parsed.options.parts, (std::vector<std::string>{"a.mp4", "b.mp4"}));
    EXPECT_EQ(parsed.options.output, "ab.mp4");

    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--preset", "quick"}, "--preset wants an x264 preset"},
        {{"--plan", "0"}, "--plan wants a number of parts, 1 to 64"},
        {{"--gpu", "-1"}, "--gpu wants a device number, 0 to 63"},
        {{"--supersample", "5"}, "--supersample wants a whole factor, 1 to 4"},
        {{"--join"}, "--join needs the part files"},
        {{"--join", "a.mp4", "--from", "3"}, "--join takes the part files and --output only"},
        {{"--join", "a.mp4", "-o", "b.webm"}, "--join copies the parts' H.264 picture"},
        {{"--plan", "2", "-o", "b.webm"}, "--plan copies the parts' H.264 picture"},
        {{"--plan", "2", "--still", "3"}, "--plan shares a video out in parts"},
        {{"--join", "a.mp4", "--plan", "2"}, "--join takes the part files and --output only"},
        {{"--part", "-o", "b.mkv"}, "--part writes an MP4 file"},
        {{"--part", "--plan", "2"}, "--part renders one piece of a video in this process"},
        {{"a.mp4"}, "unknown option 'a.mp4'"},
    };
    for (const auto& [args, message] : cases) {
        EXPECT_EQ(parse(args).error.rfind(message, 0), 0u) << parse(args).error;
    }
}

TEST(RecordingSplit, PartsFollowEachOtherAndShareTheCost) {
    // The whole demo at 60 fps in two: the finale's last grid is so dear that the cut falls
    // inside the finale, far past the middle of the frames.
    const FrameRange all = framesBetween(0.0, 164.0, 60);
    std::vector<FrameRange> parts = splitByCost(all, 60, 2);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].first, 0);
    EXPECT_EQ(parts[0].end, parts[1].first);
    EXPECT_EQ(parts[1].end, all.end);
    EXPECT_GT(frameSeconds(parts[1].first, 60), 151.0);
    double first = 0.0;
    double second = 0.0;
    for (long n = all.first; n < all.end; ++n) {
        (n < parts[1].first ? first : second) +=
            expectedFrameCost(recordingDemoTime(frameSeconds(n, 60)));
    }
    EXPECT_NEAR(first / second, 1.0, 0.01);
    // Never an empty part: more processes than frames gives a frame each.
    parts = splitByCost({10, 13}, 10, 8);
    ASSERT_EQ(parts.size(), 3u);
    for (size_t i = 0; i < parts.size(); ++i) {
        EXPECT_EQ(parts[i].first, 10 + static_cast<long>(i));
        EXPECT_EQ(parts[i].count(), 1);
    }
}

TEST(RecordingSplit, APlanIsOnePartCommandAPartInTimeOrderThenTheJoin) {
    CaptureOptions o = parse({"--from", "24.5", "--to", "27.5", "--size", "320x180", "--fps", "10",
                              "--plan", "2", "-o", "my take.mkv"})
                           .options;
    const std::vector<std::string> lines = planCommands(o, "./heptad-capture");
    const std::vector<FrameRange> pieces = splitByCost({245, 275}, 10, 2);
    ASSERT_EQ(lines.size(), 3u);
    for (size_t i = 0; i < 2; ++i) {
        const std::string part = "'my take.part" + std::to_string(i + 1) + ".mp4'";
        EXPECT_EQ(lines[i].rfind("./heptad-capture --part --size 320x180 --fps 10 --crf 18 "), 0u)
            << lines[i];
        EXPECT_NE(lines[i].find(" --output " + part), std::string::npos) << lines[i];
        // Each part's times name exactly its frames again.
        const size_t from = lines[i].find("--from ") + 7;
        const size_t to = lines[i].find("--to ") + 5;
        EXPECT_EQ(
            framesBetween(std::stod(lines[i].substr(from)), std::stod(lines[i].substr(to)), 10)
                .first,
            pieces[i].first);
        EXPECT_EQ(
            framesBetween(std::stod(lines[i].substr(from)), std::stod(lines[i].substr(to)), 10).end,
            pieces[i].end);
    }
    EXPECT_EQ(lines[2], "./heptad-capture --join 'my take.part1.mp4' 'my take.part2.mp4' "
                        "--output 'my take.mkv'");
}

TEST(PartJoin, PartsNameTheirFramesAndOnlyNeighboursJoin) {
    const PartInfo a{{120, 300}, 60, 1280, 720, 0.0};
    PartInfo read;
    ASSERT_TRUE(parsePartComment(partComment(a) + "\n", read));
    EXPECT_EQ(read.frames.first, 120);
    EXPECT_EQ(read.frames.end, 300);
    EXPECT_EQ(read.fps, 60);
    EXPECT_EQ(read.width, 1280);
    EXPECT_EQ(read.height, 720);
    EXPECT_FALSE(parsePartComment("", read));
    EXPECT_FALSE(parsePartComment(partComment(a) + " and more", read));

    const PartInfo b{{300, 420}, 60, 1280, 720, 0.0};
    PartInfo whole;
    EXPECT_EQ(checkPartsFollow({a, b}, {"a", "b"}, whole), "");
    EXPECT_EQ(whole.frames.first, 120);
    EXPECT_EQ(whole.frames.end, 420);
    EXPECT_EQ(checkPartsFollow({b, a}, {"b", "a"}, whole),
              "a starts at frame 120 but b ends before frame 420: give the parts in time order, "
              "with no gap or overlap");
    // Only the last part may hold the demo's last picture; the whole then holds it too.
    const PartInfo end{{420, 480}, 60, 1280, 720, 4.0};
    ASSERT_TRUE(parsePartComment(partComment(end), read));
    EXPECT_EQ(read.holdSeconds, 4.0);
    EXPECT_EQ(checkPartsFollow({a, b, end}, {"a", "b", "end"}, whole), "");
    EXPECT_EQ(whole.holdSeconds, 4.0);
    EXPECT_EQ(checkPartsFollow({b, end, end}, {"b", "end", "end"}, whole),
              "end ends the demo, so it must be the last part");
    const PartInfo otherRate{{300, 420}, 30, 1280, 720, 0.0};
    EXPECT_NE(checkPartsFollow({a, otherRate}, {"a", "c"}, whole).find("share both"),
              std::string::npos);
    // A quote in a name stays part of the name.
    EXPECT_EQ(concatList({"/tmp/it's.mp4"}),
              "ffconcat version 1.0\nfile 'file:/tmp/it'\\''s.mp4'\n");
}

TEST(Downsample, BlocksAverageInLinearLight) {
    // 2x2 blocks: all black, all white, and half black half white, which is half the light
    // (188 in sRGB), not half the code value (128).
    const std::vector<unsigned char> large = {
        0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255,
        0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255,
    };
    // Two rows of four pixels, brought down by 2 to one row of two.
    std::vector<unsigned char> small;
    downsampleBox(large.data(), 2, 1, 2, small);
    ASSERT_EQ(small.size(), 2u * 4u);
    EXPECT_EQ(small[0], 0);
    EXPECT_EQ(small[4], 188);
    EXPECT_EQ(small[7], 255);
    const std::vector<unsigned char> grey(3 * 3 * 4, 77);
    downsampleBox(grey.data(), 1, 1, 3, small);
    EXPECT_EQ(small, std::vector<unsigned char>(4, 77)) << "an even colour stays as it is";
}

TEST(ChildProcess, AHelperThatWillNotStopIsKilledAfterItsGraceAndReaped) {
    std::string error;
    const auto began = std::chrono::steady_clock::now();
    {
        ChildProcess stubborn;
        ASSERT_TRUE(stubborn.start({"/bin/sh", "-c", "trap '' TERM; exec sleep 60"}, false, error))
            << error;
        usleep(200000); // the trap is set
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    EXPECT_LT(seconds, ChildProcess::stopGraceSeconds + 10.0);
}

TEST(WholeFile, WritesReplaceOnlyOnceCompleteAndPartialFilesNameTheirOwner) {
    namespace fs = std::filesystem;
    char name[] = "/tmp/heptad-whole-file-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    const fs::path folder = name;
    const std::string file = (folder / "report.txt").string();
    std::string error;
    ASSERT_TRUE(writeFileWhole(file, "first\n", error)) << error;
    ASSERT_TRUE(writeFileWhole(file, "second\n", error)) << error;
    std::ifstream in(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "second\n");
    EXPECT_FALSE(writeFileWhole((folder / "none" / "x.txt").string(), "x", error));
    EXPECT_EQ(error, "cannot write " + (folder / "none" / "x.txt").string() +
                         ": No such file or directory");
    EXPECT_FALSE(writeFileWhole(folder.string(), "x", error));
    EXPECT_EQ(error, "cannot write " + folder.string() + ": it is a folder");
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename());
    }
    EXPECT_EQ(names, std::vector<std::string>{"report.txt"}) << "no temporary file is left";

    // Each temporary file names its process and host; any name, even one with an "@" or the
    // look of a host in it, reads back.
    const std::string temp = createPartialFile((folder / "take@2.v1.mp4").string(), error);
    ASSERT_FALSE(temp.empty()) << error;
    PartialOwner owner;
    ASSERT_TRUE(partialFileOwner(fs::path(temp).filename(), owner)) << temp;
    EXPECT_EQ(owner.pid, getpid());
    char host[256] = "";
    gethostname(host, sizeof host - 1);
    EXPECT_EQ(owner.host, host);
    ASSERT_TRUE(partialFileOwner(".a.b.mp4.77@m1.example.org.Xy12Zw.part", owner));
    EXPECT_EQ(owner.pid, 77);
    EXPECT_EQ(owner.host, "m1.example.org");
    for (const char* other : {".a.mp4.Xy12Zw.part", "a.mp4.7@m1.Xy12Zw.part",
                              ".a.mp4.7x@m1.Xy12Zw.part", ".a.mp4.7@.Xy12Zw.part", ".part"}) {
        EXPECT_FALSE(partialFileOwner(other, owner)) << other;
    }
    // This process runs: its file stays.
    EXPECT_TRUE(removeAbandonedPartials(folder.string()).empty());
    EXPECT_TRUE(fs::exists(temp));
    fs::remove_all(folder);
}
