#include "capture/capture_options.h"

#include "base/option_table.h"
#include "base/option_words.h"
#include "demo/frame_plan.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {
// Bounds that keep a request sane: the picture fits every GL 3.3 driver's render target limit
// and the frame rate is one a player can show.
constexpr int minSide = 16;
constexpr int maxSide = 8192;
constexpr int maxFps = 240;
constexpr int maxParts = 64;
constexpr int maxGpu = 63;
constexpr int maxSupersample = 4;

bool parseWhole(const std::string& text, long& value) {
    if (text.empty() || text[0] == '+' || text[0] == '-') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

bool parseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find_first_of("xX");
    long w = 0;
    long h = 0;
    if (x == std::string::npos || !parseWhole(text.substr(0, x), w) ||
        !parseWhole(text.substr(x + 1), h)) {
        return false;
    }
    if (w < minSide || w > maxSide || h < minSide || h > maxSide) {
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

// Every projection of the demo has the aspect 16:9, so another shape would stretch the picture.
// One side may be rounded to the nearest pixel (854x480, 321x181).
bool isSixteenByNine(int width, int height) {
    return std::lround(width * 9.0 / 16.0) == height || std::lround(height * 16.0 / 9.0) == width;
}

std::string sizeText(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

std::string seconds(double value) {
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text;
}
} // namespace

ParsedCaptureOptions parseCaptureOptions(const std::vector<std::string>& args) {
    ParsedCaptureOptions parsed;
    CaptureOptions& o = parsed.options;
    bool rangeGiven = false;
    auto fail = [&parsed](const std::string& message) {
        parsed.error = message;
        return parsed;
    };

    // A whole number from low to high, or the message naming what the option wants.
    auto whole = [](int& option, long low, long high, const std::string& wants) {
        return [&option, low, high, wants](const std::string& value) {
            long number = 0;
            if (!parseWhole(value, number) || number < low || number > high) {
                return wants + " (got '" + value + "')";
            }
            option = static_cast<int>(number);
            return std::string();
        };
    };
    auto time = [](const char* name, double& option, bool& given) {
        return [name, &option, &given](const std::string& value) {
            double number = 0.0;
            if (!parseSeconds(value, number) || number < 0.0 || number > demoLength) {
                return std::string(name) + " wants seconds from 0 to " + seconds(demoLength) +
                       " (got '" + value + "')";
            }
            option = number;
            given = true;
            return std::string();
        };
    };
    auto file = [](const char* name, std::string& option) {
        return [name, &option](const std::string& value) {
            if (value.empty()) {
                return std::string(name) + " needs a file name";
            }
            option = value;
            return std::string();
        };
    };
    const std::vector<OptionRow> rows = {
        {"--help", "-h", false, setsFlag(o.help), true},
        {"--version", nullptr, false, setsFlag(o.version), true},
        {"--part", nullptr, false, setsFlag(o.part)},
        {"--join", nullptr, false, setsFlag(o.join)},
        {"--gentle", nullptr, false, setsFlag(o.gentle)},
        {"--size", nullptr, true,
         [&o](const std::string& value) {
             if (!parseSize(value, o.width, o.height)) {
                 return "--size wants WIDTHxHEIGHT, each " + std::to_string(minSide) + " to " +
                        std::to_string(maxSide) + " pixels (got '" + value + "')";
             }
             return std::string();
         }},
        {"--fps", nullptr, true,
         whole(o.fps, 1, maxFps,
               "--fps wants a whole number of frames a second, 1 to " + std::to_string(maxFps))},
        {"--preset", nullptr, true,
         [&o](const std::string& value) {
             if (!isX264Preset(value)) {
                 return "--preset wants an x264 preset, ultrafast to veryslow (got '" + value +
                        "')";
             }
             o.preset = value;
             return std::string();
         }},
        {"--plan", nullptr, true,
         whole(o.plan, 1, maxParts,
               "--plan wants a number of parts, 1 to " + std::to_string(maxParts))},
        {"--gpu", nullptr, true,
         whole(o.gpu, 0, maxGpu, "--gpu wants a device number, 0 to " + std::to_string(maxGpu))},
        {"--supersample", nullptr, true,
         whole(o.supersample, 1, maxSupersample,
               "--supersample wants a whole factor, 1 to " + std::to_string(maxSupersample))},
        {"--crf", nullptr, true,
         whole(o.crf, 0, 63, "--crf wants a whole number, 0 (best) to 51 for H.264 or 63 for VP9")},
        {"--from", nullptr, true, time("--from", o.from, rangeGiven)},
        {"--to", nullptr, true, time("--to", o.to, rangeGiven)},
        {"--still", nullptr, true, time("--still", o.stillTime, o.still)},
        {"--output", nullptr, true, file("--output", o.output)},
        {"-o", nullptr, true, file("-o", o.output)},
        {"--flash-report", nullptr, true, file("--flash-report", o.flashReport)},
    };
    OptionRules rules;
    rules.flagsRefuseValues = false;
    // A part file if this is a join, else refused below.
    rules.operand = [&o](const std::string& word) { o.parts.push_back(word); };
    parsed.error = readOptions(args, rows, rules);
    if (!parsed.error.empty() || o.help || o.version) {
        return parsed;
    }

    const std::string notSixteenByNine =
        "--size must be 16:9, the shape of every picture of the demo (got " +
        sizeText(o.width, o.height) + "; 1920x1080, 1280x720 and 640x360 are)";
    if (!o.join && !o.parts.empty()) {
        return fail("unknown option '" + o.parts.front() + "'");
    }
    if (o.join) {
        if (o.parts.empty()) {
            return fail("--join needs the part files, in time order");
        }
        if (o.still || o.part || rangeGiven || o.plan != 0) {
            return fail("--join takes the part files and --output only: the parts hold the rest");
        }
    }
    if (o.part && (o.still || o.plan != 0)) {
        return fail("--part renders one piece of a video in this process: it takes no " +
                    std::string(o.still ? "--still" : "--plan"));
    }
    if (!o.flashReport.empty() && o.flashReport == (o.output.empty() ? "heptad.mp4" : o.output)) {
        return fail("--flash-report needs a file of its own, not the --output");
    }
    if (!o.flashReport.empty() && (o.still || o.join || o.plan != 0)) {
        return fail("--flash-report checks the frames this process renders into a video: it "
                    "takes no --still, --join or --plan");
    }
    if (o.still && o.plan != 0) {
        return fail("--plan shares a video out in parts: it takes no --still");
    }
    if (o.still) {
        if (!isSixteenByNine(o.width, o.height)) {
            return fail(notSixteenByNine);
        }
        if (rangeGiven) {
            return fail("--still renders one frame: it takes no --from or --to");
        }
        if (o.output.empty()) {
            o.output = "heptad.png";
        }
        if (lowerExtension(o.output) != ".png") {
            return fail("--still writes a PNG: give --output a name ending in .png");
        }
        return parsed;
    }
    if (o.from >= o.to) {
        return fail("--from (" + seconds(o.from) + ") must come before --to (" + seconds(o.to) +
                    ")");
    }
    if (framesBetween(o.from, o.to, o.fps).count() < 1) {
        return fail("no frame at " + std::to_string(o.fps) + " fps lies between --from " +
                    seconds(o.from) + " and --to " + seconds(o.to));
    }
    // H.264 in the 4:2:0 layout every player reads halves the colour resolution both ways.
    if (o.width % 2 != 0 || o.height % 2 != 0) {
        return fail("--size must be even both ways for a video (got " +
                    sizeText(o.width, o.height) + ")");
    }
    if (!isSixteenByNine(o.width, o.height)) {
        return fail(notSixteenByNine);
    }
    if (o.output.empty()) {
        o.output = "heptad.mp4";
    }
    if (!videoFormatOf(o.output, o.format)) {
        return fail("--output must end in .mp4 or .mkv (H.264 and AAC) or .webm (VP9 and Opus) "
                    "(got '" +
                    o.output + "')");
    }
    if (o.crf > worstCrf(o.format)) {
        return fail("--crf wants 0 (best) to " + std::to_string(worstCrf(o.format)) + " for " +
                    (o.format == VideoFormat::WebM ? "VP9" : "H.264") + " (got " +
                    std::to_string(o.crf) + ")");
    }
    if (o.crf < 0) {
        o.crf = defaultCrf(o.format);
    }
    // Parts hold H.264 in MP4, whose timing is exact at any frame rate; a join copies them.
    if (o.part && o.format != VideoFormat::Mp4) {
        return fail("--part writes an MP4 file: give --output a name ending in .mp4");
    }
    if ((o.join || o.plan != 0) && o.format == VideoFormat::WebM) {
        return fail(std::string(o.join ? "--join" : "--plan") +
                    " copies the parts' H.264 picture: write .mp4 or .mkv");
    }
    return parsed;
}

std::string captureUsage() {
    const std::string hold = seconds(endingHoldSeconds);
    const std::string fade = seconds(endingFadeSeconds);
    return "Usage: heptad-capture [options]\n"
           "Renders the Heptad demo frame by frame on a virtual clock and writes it as a video\n"
           "with its music through ffmpeg, or one frame as a PNG. Frame n shows the demo at\n"
           "n / fps seconds. It needs no display: it draws through EGL on the first GPU it\n"
           "finds, or else on Mesa's software renderer, and names the renderer first.\n"
           "\n"
           "  --size WxH        picture size in pixels, 16:9 (default 1920x1080)\n"
           "  --fps N           frames a second (default 60)\n"
           "  --from S          start at S seconds of the demo (default 0)\n"
           "  --to S            stop before S seconds (default 164, the end)\n"
           "  -o, --output PATH the file to write (default heptad.mp4, or heptad.png with\n"
           "                    --still); its extension picks the format: .mp4 or .mkv for\n"
           "                    H.264 with AAC sound, .webm for VP9 with Opus sound\n"
           "  --crf N           video quality, lower is better: 0 to 51 for H.264 (default\n"
           "                    18, visually lossless), 0 to 63 for VP9 (default 31)\n"
           "  --still T         write the single frame at T seconds as a PNG\n"
           "  --preset NAME     x264 preset, ultrafast to veryslow (default faster: measured at\n"
           "                    960x540, 1280x720 and 1920x1080 it costs 70 to 85% of medium's\n"
           "                    CPU for about 0.6 dB less PSNR and 5% fewer bits; veryfast halves\n"
           "                    the CPU but loses about 1.7 dB)\n"
           "  --supersample N   render at N times the size both ways (2 to 4) and average each\n"
           "                    N x N block in linear light: smooth edges for N*N times the\n"
           "                    rendering; points and lines, sized in pixels, come out thinner\n"
           "  --gpu N           draw on EGL device N (numbered from 0 as EGL lists them) instead\n"
           "                    of the first GPU\n"
           "  --plan N          print the commands that record the range in N parts of about\n"
           "                    equal cost, one a line, then the --join command that puts them\n"
           "                    together; run them with GNU parallel, on this machine or on\n"
           "                    several (parallel --sshlogin)\n"
           "  --flash-report CSV\n"
           "                    check every frame against the WCAG 2.x flash thresholds, write\n"
           "                    each second's result to the file CSV and sum it up in one line\n"
           "  --gentle          run the flash limiter over every frame, as heptad --gentle\n"
           "                    does: no second flashes more than three times\n"
           "  --part            write only the picture of --from to --to, for a later --join\n"
           "  --join PART...    join parts made with --part, in time order, into one video with\n"
           "                    the music, without encoding the picture again\n"
           "  --help            show this text\n"
           "  --version         show the version\n"
           "\n"
           "A recording that runs to the end holds its last picture for " +
           hold +
           " s while the\n"
           "last chord rings out, fading to black and silence over the last " +
           fade +
           " s, so the\n"
           "whole demo makes a video of " +
           seconds(demoLength + endingHoldSeconds) +
           " s.\n"
           "Where a frame falls exactly on a scene change (24, 44, 67, 83, 112, 129 s) or on a\n"
           "change of the finale's grid (141, 151 s), the live demo would show one empty frame;\n"
           "a recording draws the next representable instant after it instead (a float step,\n"
           "a few microseconds later), so the picture runs on without a flash.\n"
           "\n"
           "It reads the demo's shaders, images and demotune.mp3 from the folder it is run in,\n"
           "or else from the folder of its own program file (the runtime folder of a build),\n"
           "or else from ../share/heptad relative to it, where the package installs the data.\n"
           "When start-up reports a failure (a file it cannot read, a shader that does not\n"
           "build), it stops and writes nothing: such a recording would not show the demo.\n";
}
