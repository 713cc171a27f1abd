// What each x264 preset costs per frame and what it keeps of the picture, at the sizes a
// recording is made at. For each size the demo's own frames (short clips of the title, scene 2,
// scene 5 and the finale, 30 fps, with the state of the scenes before them) are rendered as the
// recorder renders them and kept uncompressed in the 4:2:0 layout the encoder sees (the lossless
// reference). Each preset then encodes them at the recorder's quality setting (CRF 18); its
// CPU time per frame is measured from the encoder's own resource use, its loss as PSNR and SSIM
// against the reference.
// Run it from the runtime folder under a display, e.g.
//   cd build/runtime && xvfb-run -a -s "-screen 0 1920x1080x24" ../encoder_presets_bench [WxH ...]
#include "command_output.h"

#include "context/offscreen_target.h"
#include "context/window.h"
#include "demo/frame_at.h"
#include "demo/frame_plan.h"
#include "demo/startup.h"
#include "render/gl.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr int fps = 30;
constexpr int clipFrames = 24;
const double clipStarts[] = {20.0, 30.0, 95.0, 133.0};
const char* const presets[] = {"ultrafast", "superfast", "veryfast", "faster",
                               "fast",      "medium",    "slow"};
const char* const crf = "18";

// Renders the clips at this size in a child process (fresh GL state for each size) and stores
// them as raw yuv420p, converted exactly as the recorder's encoder converts its input.
bool renderReference(int width, int height, const std::string& rawFile) {
    const pid_t child = fork();
    if (child == 0) {
        hintGl33CoreContext();
        if (glfwInit() == GLFW_FALSE) {
            _exit(1);
        }
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
        GLFWwindow* window = glfwCreateWindow(width, height, "bench", nullptr, nullptr);
        if (window == nullptr) {
            _exit(1);
        }
        glfwMakeContextCurrent(window);
        int framebufferWidth = 0;
        int framebufferHeight = 0;
        glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);
        runStartUp(framebufferWidth, framebufferHeight);
        OffscreenTarget target;
        std::string error;
        if (!target.create(width, height, error)) {
            _exit(1);
        }
        const std::string convert =
            "ffmpeg -v error -y -f rawvideo -pix_fmt rgba -video_size " + std::to_string(width) +
            "x" + std::to_string(height) +
            " -framerate 30 -i pipe:0 -vf "
            "vflip,scale=out_color_matrix=bt709:out_range=tv,format=yuv420p -f rawvideo " +
            rawFile;
        FILE* pipe = popen(convert.c_str(), "w");
        std::vector<unsigned char> pixels;
        long rendered = -1;
        auto render = [&](long frame) {
            target.bind();
            drawDemoAt(frameSeconds(frame, fps), DemoClock::Pinned);
            rendered = frame;
        };
        for (double start : clipStarts) {
            const long first = firstFrameAt(start, fps);
            for (long frame : warmUpFrames(first, fps)) {
                if (frame > rendered) {
                    render(frame);
                }
            }
            for (long frame = first; frame < first + clipFrames; ++frame) {
                render(frame);
                target.read(pixels);
                fwrite(pixels.data(), 1, pixels.size(), pipe);
            }
        }
        _exit(pclose(pipe) == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double cpuSeconds(const rusage& usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// CPU seconds the encoder (and its threads) used; -1 if it failed.
double encode(const std::string& size, const std::string& rawFile, const char* preset,
              const std::string& output) {
    const std::string command = "exec ffmpeg -v error -y -f rawvideo -pix_fmt yuv420p "
                                "-video_size " +
                                size + " -framerate 30 -i " + rawFile + " -c:v libx264 -preset " +
                                preset + " -crf " + crf + " -f mp4 " + output;
    const pid_t child = fork();
    if (child == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? cpuSeconds(usage) : -1.0;
}

// "... All:0.991 (20.5)" of the ssim filter and "average:44.1" of the psnr filter.
double valueAfter(const std::string& text, const std::string& key) {
    const size_t at = text.rfind(key);
    return at == std::string::npos ? 0.0 : std::atof(text.c_str() + at + key.size());
}
} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> sizes(argv + 1, argv + argc);
    if (sizes.empty()) {
        sizes = {"960x540", "1280x720", "1920x1080"};
    }
    const long frames = clipFrames * static_cast<long>(std::size(clipStarts));
    for (const std::string& size : sizes) {
        const int width = std::atoi(size.c_str());
        const int height = std::atoi(size.c_str() + size.find('x') + 1);
        const std::string raw = "/tmp/heptad-presets-" + size + ".yuv";
        const std::string encoded = "/tmp/heptad-presets-" + size + ".mp4";
        if (!renderReference(width, height, raw)) {
            std::printf("%s: rendering the reference frames failed\n", size.c_str());
            return 1;
        }
        std::printf("\n%s, %ld frames at %d fps, CRF %s\n", size.c_str(), frames, fps, crf);
        std::printf("  %-10s %14s %10s %10s %12s\n", "preset", "CPU ms/frame", "PSNR dB", "SSIM",
                    "kbit/s");
        for (const char* preset : presets) {
            const double cpu = encode(size, raw, preset, encoded);
            if (cpu < 0.0) {
                std::printf("  %-10s encoding failed\n", preset);
                continue;
            }
            const std::string quality = commandOutput(
                "ffmpeg -hide_banner -nostats -i " + encoded +
                " -f rawvideo -pix_fmt yuv420p -video_size " + size + " -framerate 30 -i " + raw +
                " -lavfi \"[0:v]split[a][b];[1:v]split[c][d];[a][c]ssim;[b][d]psnr\" -f null -");
            struct stat info {};
            stat(encoded.c_str(), &info);
            const double kbits = static_cast<double>(info.st_size) * 8.0 / 1000.0 /
                                 (static_cast<double>(frames) / fps);
            std::printf("  %-10s %14.1f %10.2f %10.5f %12.0f\n", preset, 1000.0 * cpu / frames,
                        valueAfter(quality, "average:"), valueAfter(quality, "All:"), kbits);
            std::fflush(stdout);
        }
        std::remove(raw.c_str());
        std::remove(encoded.c_str());
    }
    return 0;
}
