#include "support/complete_runtime.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stb_image_write.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
const char* const shaderFiles[] = {
    "labShaders/Scene7-PBR1.vs", "labShaders/Scene7-PBR1.fs", "labShaders/Scene7-PBR2.vs",
    "labShaders/Scene7-PBR2.fs", "labShaders/Scene7-PBR3.vs", "labShaders/Scene7-PBR3.fs",
    "labShaders/Scene7-PBR4.vs", "labShaders/Scene7-PBR4.fs", "labShaders/Scene7-PBR5.vs",
    "labShaders/Scene7-PBR5.fs", "labShaders/Scene7-PBR6.vs", "labShaders/Scene7-PBR6.fs",
    "labShaders/title.vs",       "labShaders/title.fs",       "labShaders/Scene2.vs",
    "labShaders/Scene2.fs",      "labShaders/Scene3.vs",      "labShaders/Scene3.fs",
    "labShaders/Scene4.vs",      "labshaders/Scene4.fs",      "labShaders/Scene5.vs",
    "labshaders/Scene5.fs",      "labShaders/Scene6.vs",      "labshaders/Scene6.fs"};
const char* const imageFiles[] = {"imgs/logo.png", "imgs/Tarvogreets.png", "imgs/Greets.png"};
const char* const skyFile = "imgs/vellmar.512.hdr";

void writeStandInShader(const fs::path& path) {
    std::ofstream out(path);
    if (path.extension() == ".vs") {
        out << "#version 330 core\nlayout(location = 0) in vec3 aPos;\n"
               "void main() { gl_Position = vec4(aPos, 1.0); }\n";
    } else {
        out << "#version 330 core\nout vec4 FragColor;\nvoid main() { FragColor = vec4(1.0); }\n";
    }
}

void writeStandInPicture(const fs::path& path) {
    std::vector<unsigned char> pixels(64 * 64 * 4);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<unsigned char>(i * 13);
    }
    stbi_write_png(path.c_str(), 64, 64, 4, pixels.data(), 64 * 4);
}

void writeStandInSky(const fs::path& path) {
    std::vector<float> pixels(64 * 32 * 3);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = 0.1f + 0.01f * static_cast<float>(i % 97);
    }
    stbi_write_hdr(path.c_str(), 64, 32, 3, pixels.data());
}
} // namespace

CompleteRuntime makeCompleteRuntime() {
    const char* tmp = std::getenv("TMPDIR");
    CompleteRuntime runtime;
    runtime.folder =
        std::string(tmp != nullptr ? tmp : "/tmp") + "/heptad-runtime-" + std::to_string(getpid());
    const fs::path source(HEPTAD_RUNTIME_DIR);
    const fs::path folder(runtime.folder);
    fs::remove_all(folder);
    fs::create_directories(folder / "labShaders");
    fs::create_directories(folder / "labshaders");
    fs::create_directories(folder / "imgs");

    auto provide = [&](const char* file, void (*standIn)(const fs::path&)) {
        std::error_code ignored;
        if (fs::is_regular_file(source / file)) {
            fs::copy_file(source / file, folder / file, ignored);
        } else {
            standIn(folder / file);
            runtime.standIns.push_back(file);
        }
    };
    for (const char* file : shaderFiles) {
        provide(file, writeStandInShader);
    }
    for (const char* file : imageFiles) {
        provide(file, writeStandInPicture);
    }
    provide(skyFile, writeStandInSky);
    std::error_code ignored;
    fs::copy_file(source / "demotune.mp3", folder / "demotune.mp3", ignored);
    return runtime;
}
