// What the shaders cost over the floor of the recording pipeline, scene by scene. Each scene is
// recorded sparsely by heptad-capture from the runtime folder as shipped and, right after, from
// a copy whose scene fragment shaders all write a constant colour. The copy keeps the same
// geometry, vertex stages, GL state, readback and encoder, so its cost is the floor that no
// fragment shading can beat; shipped / floor is what the shading costs on top.
//
// The cost of a frame is CPU time (the recorder with Mesa's render threads and the encoder),
// not wall time: the machine is shared, and CPU time barely moves when other work competes for
// the cores where wall time doubles. A one-frame recording of the same scene is subtracted from
// each recording, which removes start-up, the frames that set up the scene's GL state and the
// encoder's own start and finish. Both halves run back to back, so what load remains shifts
// both and the ratio holds. Run it from the runtime folder:
//   cd build/runtime && ../shading_bench [--size WxH] [--fps N] [--rounds N] [--only title,finale]
#include "bench_stats.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace fs = std::filesystem;

namespace {
struct Scene {
    const char* name;
    double from;
    double to;
};
const Scene scenes[] = {{"title", 0, 24},    {"scene 2", 24, 44},  {"scene 3", 44, 67},
                        {"scene 4", 67, 83}, {"scene 5", 83, 112}, {"scene 6", 112, 129},
                        {"finale", 129, 164}};

// The lighting precompute runs once at start-up and is not a scene: it keeps its own shaders,
// so that start-up costs the same in both folders.
const char* const precomputeShaders[] = {"Scene7-PBR2.fs", "Scene7-PBR3.fs", "Scene7-PBR4.fs",
                                         "Scene7-PBR5.fs"};

const char* const constantFragmentShader =
    "#version 330 core\n"
    "out vec4 FragColor;\n"
    "void main() { FragColor = vec4(0.5, 0.5, 0.5, 1.0); }\n";

double childCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// CPU seconds that one command and everything it waited for used; negative when it failed.
double cpuSecondsOf(const std::string& command) {
    const double before = childCpuSeconds();
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
        return -1.0;
    }
    return childCpuSeconds() - before;
}

bool isPrecomputeShader(const fs::path& file) {
    for (const char* name : precomputeShaders) {
        if (file.filename() == name) {
            return true;
        }
    }
    return false;
}

// A copy of the runtime folder's shaders with every scene fragment stage a constant colour; the
// pictures and the music are links to the real ones.
bool makeFloorFolder(const fs::path& runtime, const fs::path& floor) {
    std::error_code error;
    for (const char* folder : {"labShaders", "labshaders"}) {
        fs::copy(runtime / folder, floor / folder, fs::copy_options::recursive, error);
        if (error) {
            return false;
        }
        for (const fs::directory_entry& entry : fs::directory_iterator(floor / folder)) {
            if (entry.path().extension() == ".fs" && !isPrecomputeShader(entry.path())) {
                std::ofstream(entry.path()) << constantFragmentShader;
            }
        }
    }
    fs::create_directory_symlink(runtime / "imgs", floor / "imgs", error);
    if (fs::exists(runtime / "demotune.mp3")) {
        fs::create_symlink(runtime / "demotune.mp3", floor / "demotune.mp3", error);
    }
    return !error;
}

// "scene 2" is also asked for as "scene2".
std::string withoutSpaces(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
}

} // namespace

int main(int argc, char** argv) {
    std::string size = "1920x1080";
    int fps = 2;
    int rounds = 1;
    std::string only;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--size") {
            size = argv[i + 1];
        } else if (name == "--fps") {
            fps = std::max(1, std::atoi(argv[i + 1]));
        } else if (name == "--rounds") {
            rounds = std::max(1, std::atoi(argv[i + 1]));
        } else if (name == "--only") {
            only = "," + withoutSpaces(argv[i + 1]) + ",";
        }
    }
    const fs::path runtime = fs::current_path();
    if (!fs::exists(runtime / "heptad-capture") || !fs::exists(runtime / "labShaders")) {
        std::printf("run from the runtime folder (build/runtime)\n");
        return 1;
    }
    char floorTemplate[] = "/tmp/heptad-shading-floor-XXXXXX";
    if (mkdtemp(floorTemplate) == nullptr) {
        std::printf("cannot make a temporary folder\n");
        return 1;
    }
    const fs::path floor = floorTemplate;
    if (!makeFloorFolder(runtime, floor)) {
        std::printf("cannot copy the shaders into %s\n", floor.c_str());
        fs::remove_all(floor);
        return 1;
    }

    std::printf("%s, %d frames a second of demo time, %d round(s); CPU ms a frame (median of "
                "rounds)\n\n",
                size.c_str(), fps, rounds);
    std::printf("| scene | frames | shipped | floor | ratio |\n|---|---|---|---|---|\n");
    const std::string video = (floor / "bench.mp4").string();
    const std::string shippedCapture = "cd '" + runtime.string() + "' && ./heptad-capture";
    const std::string floorCapture =
        "cd '" + floor.string() + "' && '" + (runtime / "heptad-capture").string() + "'";
    bool failed = false;
    for (const Scene& scene : scenes) {
        if (!only.empty() &&
            only.find("," + withoutSpaces(scene.name) + ",") == std::string::npos) {
            continue;
        }
        // Frames on the scene's bounds draw nothing: start one frame in, stop one frame short.
        const double first = scene.from + 1.0 / fps;
        const double last = scene.to - 0.5 / fps;
        const int frames = static_cast<int>((last - first) * fps) + 1;
        const std::string common = " --size " + size + " --fps " + std::to_string(fps) +
                                   " --output " + video + " --from " + std::to_string(first);
        const std::string whole = common + " --to " + std::to_string(last);
        const std::string single = common + " --to " + std::to_string(first + 0.5 / fps);
        // CPU ms a frame beyond the one-frame recording.
        auto perFrame = [&](const std::string& capture) {
            const double all = cpuSecondsOf(capture + whole);
            const double one = cpuSecondsOf(capture + single);
            return all < 0.0 || one < 0.0 ? -1.0 : 1000.0 * (all - one) / (frames - 1);
        };
        std::vector<double> shipped;
        std::vector<double> floorCosts;
        std::vector<double> ratios;
        for (int round = 0; round < rounds; ++round) {
            // Alternate which half goes first, so a trend in the machine's load evens out.
            double shippedMs = 0.0;
            double floorMs = 0.0;
            if (round % 2 == 0) {
                shippedMs = perFrame(shippedCapture);
                floorMs = perFrame(floorCapture);
            } else {
                floorMs = perFrame(floorCapture);
                shippedMs = perFrame(shippedCapture);
            }
            if (shippedMs <= 0.0 || floorMs <= 0.0) {
                failed = true;
                continue;
            }
            shipped.push_back(shippedMs);
            floorCosts.push_back(floorMs);
            ratios.push_back(shippedMs / floorMs);
        }
        if (ratios.empty()) {
            std::printf("| %s | %d | the capture failed | | |\n", scene.name, frames);
            continue;
        }
        std::printf("| %s | %d | %.0f | %.0f | %.2f |\n", scene.name, frames, median(shipped),
                    median(floorCosts), median(ratios));
        std::fflush(stdout);
    }
    fs::remove_all(floor);
    return failed ? 1 : 0;
}
