// Speed of heptad-capture scene by scene, and what a whole recording costs, at full quality
// (1920x1080, 60 fps) and at play.sh's headless setting (960x540, 30 fps). Each setting records
// the whole demo sparsely, a few frames a second: a frame costs the same to render and encode
// whatever the rate, so the per-scene speeds hold for the full rate too. One process, so that
// the speeds are those of each scene and add up to the time of one process.
// Run it from the runtime folder: cd build/runtime && ../capture_bench [WxH@fps ...]
#include "command_output.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {
struct Scene {
    const char* name;
    double seconds;
};
const Scene scenes[] = {{"title", 24},   {"scene 2", 20}, {"scene 3", 23}, {"scene 4", 16},
                        {"scene 5", 29}, {"scene 6", 17}, {"finale", 35}};
constexpr int sampleFps = 2;

// "...; by scene: title 85.2 fps, scene 2 60.1 fps" -> {title: 85.2, scene 2: 60.1}
std::map<std::string, double> sceneSpeeds(const std::string& output) {
    std::map<std::string, double> speeds;
    size_t at = output.find("by scene: ");
    if (at == std::string::npos) {
        return speeds;
    }
    at += 10;
    const std::string list = output.substr(at, output.find('\n', at) - at);
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(", ", start);
        if (end == std::string::npos) {
            end = list.size();
        }
        const std::string item = list.substr(start, end - start); // "scene 2 60.1 fps"
        const size_t fpsAt = item.rfind(' ', item.size() - 5);
        speeds[item.substr(0, fpsAt)] = std::stod(item.substr(fpsAt + 1));
        start = end + 2;
    }
    return speeds;
}

double startUpSeconds(const std::string& output) {
    const size_t at = output.find("Started up in ");
    return at == std::string::npos ? 0.0 : std::stod(output.substr(at + 14));
}
} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> settings(argv + 1, argv + argc);
    if (settings.empty()) {
        settings = {"1920x1080@60", "960x540@30"};
    }
    for (const std::string& setting : settings) {
        const size_t at = setting.find('@');
        const std::string size = setting.substr(0, at);
        const int fps = std::stoi(setting.substr(at + 1));
        const std::string output =
            commandOutput("./heptad-capture --size " + size + " --fps " +
                          std::to_string(sampleFps) + " --output /tmp/heptad-capture-bench.mp4");
        std::remove("/tmp/heptad-capture-bench.mp4");
        const std::map<std::string, double> speeds = sceneSpeeds(output);
        if (speeds.empty()) {
            std::printf("%s: the capture failed:\n%s\n", setting.c_str(), output.c_str());
            return 1;
        }
        const double startUp = startUpSeconds(output);
        std::printf("\n%s at %d fps (start-up %.1f s)\n", size.c_str(), fps, startUp);
        std::printf("  %-8s %8s %12s %14s\n", "scene", "seconds", "capture fps", "time to record");
        double total = startUp;
        for (const Scene& scene : scenes) {
            const auto found = speeds.find(scene.name);
            const double speed = found == speeds.end() ? 0.0 : found->second;
            const double seconds = speed > 0.0 ? scene.seconds * fps / speed : 0.0;
            total += seconds;
            std::printf("  %-8s %8.0f %12.1f %11.0f s\n", scene.name, scene.seconds, speed,
                        seconds);
        }
        std::printf("  whole demo, start-up included: %.0f s (%.1f min) for 164 s of video\n",
                    total, total / 60.0);
    }
    return 0;
}
