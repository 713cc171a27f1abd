// Stills at fixed times of every scene, drawn by heptad-capture --still, and how far each lies
// from the same still in a reference folder (PSNR over the 8-bit RGB pixels). Keep one set from
// the shaders as they were before a change, then compare the changed shaders against it:
//   cd build/runtime && ../stills_bench /tmp/stills-before
//   (change the shaders, rebuild)
//   cd build/runtime && ../stills_bench /tmp/stills-after /tmp/stills-before
// Options before the folders: --size WxH (default 1920x1080), --times T,T,... (seconds).
#include <stb_image.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {
// Each scene's looks: the title's reveal, glow and turned card; the wireframe, point and filled
// phases of scenes 2 and 3; both cards flat and turned; scene 5 early and late; the finale's
// three grids.
const std::vector<double> defaultTimes = {1.2,   2.4,   6.0,   13.5,  20.0,  28.0, 37.0,
                                          42.0,  48.0,  55.0,  64.0,  70.0,  80.0, 90.0,
                                          105.0, 115.0, 124.0, 135.0, 146.0, 158.0};

std::vector<double> parseTimes(const std::string& list) {
    std::vector<double> times;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos) {
            end = list.size();
        }
        times.push_back(std::atof(list.substr(start, end - start).c_str()));
        start = end + 1;
    }
    return times;
}

std::string stillName(double seconds) {
    char name[32];
    std::snprintf(name, sizeof name, "still-%06.2f.png", seconds);
    return name;
}

// Peak signal-to-noise ratio of b against a in dB, or -1 when either cannot be read or their
// sizes differ; infinity for identical pictures.
double psnr(const std::string& a, const std::string& b) {
    int widthA = 0, heightA = 0, widthB = 0, heightB = 0, channels = 0;
    unsigned char* pixelsA = stbi_load(a.c_str(), &widthA, &heightA, &channels, 3);
    unsigned char* pixelsB = stbi_load(b.c_str(), &widthB, &heightB, &channels, 3);
    double result = -1.0;
    if (pixelsA != nullptr && pixelsB != nullptr && widthA == widthB && heightA == heightB) {
        const size_t count = static_cast<size_t>(widthA) * static_cast<size_t>(heightA) * 3;
        double squares = 0.0;
        for (size_t i = 0; i < count; ++i) {
            const double difference = double(pixelsA[i]) - double(pixelsB[i]);
            squares += difference * difference;
        }
        const double meanSquare = squares / static_cast<double>(count);
        result = meanSquare == 0.0 ? INFINITY : 10.0 * std::log10(255.0 * 255.0 / meanSquare);
    }
    stbi_image_free(pixelsA);
    stbi_image_free(pixelsB);
    return result;
}
} // namespace

int main(int argc, char** argv) {
    std::string size = "1920x1080";
    std::vector<double> times = defaultTimes;
    std::vector<std::string> folders;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--size" && i + 1 < argc) {
            size = argv[++i];
        } else if (arg == "--times" && i + 1 < argc) {
            times = parseTimes(argv[++i]);
        } else {
            folders.push_back(arg);
        }
    }
    if (folders.empty() || folders.size() > 2 || !std::filesystem::exists("heptad-capture")) {
        std::printf("usage, from the runtime folder: stills_bench [--size WxH] [--times T,T,...] "
                    "<output folder> [reference folder]\n");
        return 1;
    }
    std::filesystem::create_directories(folders[0]);
    double worst = INFINITY;
    std::printf("| time (s) | still | PSNR against %s (dB) |\n|---|---|---|\n",
                folders.size() == 2 ? folders[1].c_str() : "(no reference)");
    for (const double t : times) {
        const std::string output = folders[0] + "/" + stillName(t);
        const std::string command = "./heptad-capture --size " + size + " --still " +
                                    std::to_string(t) + " --output '" + output +
                                    "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) {
            std::printf("| %6.2f | %s | the capture failed |\n", t, output.c_str());
            worst = -1.0;
            continue;
        }
        if (folders.size() < 2) {
            std::printf("| %6.2f | %s | |\n", t, output.c_str());
            continue;
        }
        const double db = psnr(folders[1] + "/" + stillName(t), output);
        worst = std::min(worst, db);
        if (db < 0.0) {
            std::printf("| %6.2f | %s | no reference of that size |\n", t, output.c_str());
        } else {
            std::printf("| %6.2f | %s | %.1f |\n", t, output.c_str(), db);
        }
    }
    if (folders.size() == 2) {
        std::printf("lowest PSNR: %.1f dB\n", worst);
    }
    return 0;
}
