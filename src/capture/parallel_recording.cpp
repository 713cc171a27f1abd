#include "capture/parallel_recording.h"

#include "capture/child_process.h"
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

std::string lastLines(const std::string& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    std::string all = text.str();
    // Progress lines are rewritten with "\r": keep what a terminal would show.
    for (char& c : all) {
        c = c == '\r' ? '\n' : c;
    }
    const size_t keep = 600;
    return all.size() > keep ? "..." + all.substr(all.size() - keep) : all;
}

// Frames a part's log says are done ("frame 120/480"), from its last progress report.
long framesDone(const std::string& file) {
    std::ifstream in(file, std::ios::ate);
    const std::streamoff size = in.tellg();
    const std::streamoff tail = std::min<std::streamoff>(size, 400);
    std::string text(static_cast<size_t>(std::max<std::streamoff>(tail, 0)), '\0');
    in.seekg(size - tail);
    in.read(text.data(), tail);
    const size_t at = text.rfind("frame ");
    return at == std::string::npos ? 0 : std::atol(text.c_str() + at + 6);
}
} // namespace

int recordInParts(const CaptureOptions& o, const std::string& music) {
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
    std::vector<std::string> logs;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const std::string name = folder.path + "/part" + std::to_string(i + 1);
        partFiles.push_back(name + ".mp4");
        logs.push_back(name + ".log");
        std::vector<std::string> args = {
            "/proc/self/exe", "--part",
            "--size",         std::to_string(o.width) + "x" + std::to_string(o.height),
            "--fps",          std::to_string(o.fps),
            "--from",         exactSeconds(frameSeconds(pieces[i].first, o.fps)),
            "--to",           exactSeconds(frameSeconds(pieces[i].end, o.fps)),
            "--supersample",  std::to_string(o.supersample),
            "--output",       partFiles.back()};
        if (!o.preset.empty()) {
            args.insert(args.end(), {"--preset", o.preset});
        }
        workers.push_back(std::make_unique<ChildProcess>());
        workers.back()->logFile = logs.back();
        if (!workers.back()->start(args, false, false, -1, error)) {
            return fail(error);
        }
        std::fprintf(stderr, "  part %zu: frames %ld to %ld (%s s to %s s)\n", i + 1,
                     pieces[i].first, pieces[i].end - 1,
                     exactSeconds(frameSeconds(pieces[i].first, o.fps)).c_str(),
                     exactSeconds(frameSeconds(pieces[i].end, o.fps)).c_str());
    }

    // One progress report for all parts, from what each part's log says it has done.
    const bool terminal = isatty(2) != 0;
    double lastReport = -1.0;
    for (size_t running = workers.size(); running > 0;) {
        usleep(200000);
        running = 0;
        for (size_t i = 0; i < workers.size(); ++i) {
            if (workers[i]->running()) {
                ++running;
                continue;
            }
            const int status = workers[i]->finish();
            if (status != 0) {
                workers.clear(); // stops the other parts
                return fail("part " + std::to_string(i + 1) + " failed (exit status " +
                            std::to_string(status) + "):\n" + lastLines(logs[i]) +
                            "\nheptad-capture: nothing written");
            }
        }
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (running > 0 && elapsed - lastReport >= (terminal ? 0.5 : 10.0)) {
            lastReport = elapsed;
            long done = 0;
            for (const std::string& log : logs) {
                done += framesDone(log);
            }
            std::fprintf(stderr,
                         terminal ? "\rframe %ld/%ld (%.0f%%), %zu parts running  "
                                  : "frame %ld/%ld (%.0f%%), %zu parts running\n",
                         done, range.count(), 100.0 * done / range.count(), running);
        }
    }
    const double renderSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::fprintf(stderr, "%s%ld frames in %s (%.1f fps); joining the parts\n", terminal ? "\n" : "",
                 range.count(), formatDuration(renderSeconds).c_str(),
                 range.count() / std::max(renderSeconds, 1e-6));

    PartInfo whole;
    error = joinParts(partFiles, music, output.tempPath(), whole);
    if (!error.empty()) {
        return fail(error + ": nothing written");
    }
    if (!output.commit(error)) {
        return fail(error);
    }
    std::fprintf(stderr, "Wrote %s (%s, %dx%d, %d fps)\n", o.output.c_str(),
                 formatDuration(frameSeconds(range.count(), o.fps)).c_str(), o.width, o.height,
                 o.fps);
    return 0;
}
