#include "capture/parallel_recording.h"

#include "capture/child_process.h"
#include "capture/emergency_stop.h"
#include "capture/part_join.h"
#include "capture/pending_output.h"
#include "capture/progress.h"
#include "capture/recording_split.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace {
// Seconds as an argument that names the same frame again: every digit a double holds.
std::string exactSeconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", seconds);
    return text;
}

// The folder that holds the parts while they are made, beside the output; removed with all
// in it however the recording ends (short of a signal).
class PartsFolder {
  public:
    ~PartsFolder() {
        if (!path.empty()) {
            guardPartsFolder(nullptr, 0);
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }
    bool create(const std::string& output) {
        const size_t slash = output.rfind('/');
        const std::string folder = slash == std::string::npos ? "" : output.substr(0, slash + 1);
        const std::string name = slash == std::string::npos ? output : output.substr(slash + 1);
        std::string pattern = folder + "." + name + ".parts.XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            return false;
        }
        path = pattern;
        return true;
    }
    std::string path;
};

// What a part prints, read from its log as it grows: its progress (the frames it has done)
// is summed into one report, and its other lines are passed on with the part's number.
struct PartLog {
    std::string path;
    std::string prefix;
    std::streamoff readUpTo = 0;
    std::string unfinished = "";
    long framesDone = 0;

    // On a terminal a relayed line takes the place of the progress line, which is redrawn.
    void relayNewLines(bool terminal) {
        std::ifstream in(path, std::ios::binary);
        in.seekg(readUpTo);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        readUpTo += static_cast<std::streamoff>(text.size());
        unfinished += text;
        size_t start = 0;
        for (size_t end; (end = unfinished.find_first_of("\r\n", start)) != std::string::npos;
             start = end + 1) {
            const std::string line = unfinished.substr(start, end - start);
            if (line.rfind("frame ", 0) == 0) {
                framesDone = std::atol(line.c_str() + 6); // "frame 120/480 (25%) ..."
            } else if (!line.empty()) {
                std::fprintf(stderr, "%s%s%s\n", terminal ? "\r\033[K" : "", prefix.c_str(),
                             line.c_str());
            }
        }
        unfinished.erase(0, start);
    }
};
} // namespace

int recordInParts(const CaptureOptions& o, const EncoderSettings& encoding) {
    const FrameRange range = framesBetween(o.from, o.to, o.fps);
    const std::vector<FrameRange> pieces = splitByCost(range, o.fps, o.jobs);
    auto fail = [](const std::string& message) {
        std::fprintf(stderr, "heptad-capture: %s\n", message.c_str());
        return 1;
    };
    PendingOutput output;
    std::string error;
    if (!output.create(o.output, error)) {
        return fail(error);
    }
    PartsFolder folder;
    if (!folder.create(o.output)) {
        return fail("cannot make a folder for the parts beside " + o.output);
    }
    guardPartsFolder(folder.path.c_str(), static_cast<int>(pieces.size()));
    // Each process gets its share of the cores for its renderer, unless the user said.
    if (std::getenv("LP_NUM_THREADS") == nullptr) {
        const long cores = sysconf(_SC_NPROCESSORS_ONLN);
        const long share = std::max(1L, cores / static_cast<long>(pieces.size()));
        setenv("LP_NUM_THREADS", std::to_string(share).c_str(), 1);
    }
    std::fprintf(
        stderr,
        "Rendering %ld frames at %dx%d, %d fps into %s in %zu processes (LP_NUM_THREADS=%s)\n",
        range.count(), o.width, o.height, o.fps, o.output.c_str(), pieces.size(),
        std::getenv("LP_NUM_THREADS"));

    char selfPath[4096] = "";
    const ssize_t selfLength = readlink("/proc/self/exe", selfPath, sizeof selfPath - 1);
    const std::string self = selfLength > 0 ? std::string(selfPath, selfLength) : "";
    if (self.empty()) {
        return fail("cannot find this program's own file to run the parts");
    }
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::unique_ptr<ChildProcess>> workers;
    std::vector<std::string> partFiles;
    std::vector<PartLog> logs;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const std::string name = folder.path + "/part" + std::to_string(i + 1);
        partFiles.push_back(name + ".mp4");
        logs.push_back({name + ".log", "part " + std::to_string(i + 1) + ": "});
        const std::string size = std::to_string(o.width) + "x" + std::to_string(o.height);
        std::vector<std::string> args = {self,     "--part",
                                         "--size", size,
                                         "--fps",  std::to_string(o.fps),
                                         "--crf",  std::to_string(o.crf)};
        args.insert(args.end(),
                    {"--from", exactSeconds(frameSeconds(pieces[i].first, o.fps)), "--to",
                     exactSeconds(frameSeconds(pieces[i].end, o.fps)), "--supersample",
                     std::to_string(o.supersample), "--output", partFiles.back()});
        if (!o.preset.empty()) {
            args.insert(args.end(), {"--preset", o.preset});
        }
        workers.push_back(std::make_unique<ChildProcess>());
        workers.back()->logFile = logs.back().path;
        if (!workers.back()->start(args, false, false, -1, error)) {
            return fail(error);
        }
        std::fprintf(stderr, "  part %zu: frames %ld to %ld (%.6g s to %.6g s)\n", i + 1,
                     pieces[i].first, pieces[i].end - 1, frameSeconds(pieces[i].first, o.fps),
                     frameSeconds(pieces[i].end, o.fps));
    }

    // One progress report for all parts; their other lines as they come.
    const bool terminal = isatty(2) != 0;
    double lastReport = -1.0;
    long done = 0;
    auto report = [&](bool last) {
        const char* format = terminal ? "\rframe %ld/%ld (%.0f%%), %zu parts  "
                                      : "frame %ld/%ld (%.0f%%), %zu parts\n";
        std::fprintf(stderr, format, done, range.count(), 100.0 * done / range.count(),
                     pieces.size());
        if (last && terminal) {
            std::fputc('\n', stderr);
        }
    };
    for (size_t running = workers.size(); running > 0;) {
        usleep(200000);
        running = 0;
        done = 0;
        for (size_t i = 0; i < workers.size(); ++i) {
            const bool partRunning = workers[i]->running();
            logs[i].relayNewLines(terminal);
            done += logs[i].framesDone;
            if (partRunning) {
                ++running;
                continue;
            }
            const int status = workers[i]->finish();
            if (status != 0) {
                workers.clear(); // stops the other parts
                return fail("part " + std::to_string(i + 1) + " failed (exit status " +
                            std::to_string(status) + "): nothing written");
            }
        }
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (running > 0 && elapsed - lastReport >= (terminal ? 0.5 : 10.0)) {
            lastReport = elapsed;
            report(false);
        }
    }
    report(true);
    const double renderSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::fprintf(stderr, "%ld frames in %s (%.1f fps); joining the parts\n", range.count(),
                 formatDuration(renderSeconds).c_str(),
                 range.count() / std::max(renderSeconds, 1e-6));

    PartInfo whole;
    error = joinParts(partFiles, encoding, output.tempPath(), whole);
    if (!error.empty()) {
        return fail(error + ": nothing written");
    }
    if (!output.commit(error)) {
        return fail(error);
    }
    std::fprintf(stderr, "Wrote %s (%s, %dx%d, %d fps)\n", o.output.c_str(),
                 formatDuration(frameSeconds(range.count(), o.fps) + whole.holdSeconds).c_str(),
                 o.width, o.height, o.fps);
    return 0;
}
