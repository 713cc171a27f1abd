#include "support/complete_runtime.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
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
const char* const imageFiles[] = {"imgs/logo.png", "imgs/Tarvogreets.png", "imgs/Greets.png",
                                  "imgs/vellmar.512.hdr"};
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

    auto copy = [&](const char* file) {
        std::error_code error;
        fs::copy_file(source / file, folder / file, error);
        if (error) {
            ADD_FAILURE() << "cannot copy " << file
                          << " from the runtime folder: " << error.message();
        }
    };
    for (const char* file : shaderFiles) {
        copy(file);
    }
    for (const char* file : imageFiles) {
        copy(file);
    }
    copy("demotune.mp3");
    return runtime;
}
