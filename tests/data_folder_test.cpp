// Where the programs find the demo's data when started away from it: beside the program (a
// build's runtime folder) or installed under the same prefix (bin/../share/heptad).
#include "base/data_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
// A scratch folder, removed with everything in it.
struct Scratch {
    Scratch() {
        char name[] = "/tmp/heptad-data-folder-XXXXXX";
        path = mkdtemp(name);
    }
    ~Scratch() { fs::remove_all(path); }
    fs::path path;
};

void makeData(const fs::path& folder) {
    for (const char* part : {"labShaders", "labshaders", "imgs"}) {
        fs::create_directories(folder / part);
    }
}
} // namespace

TEST(DataFolder, AFolderHoldsTheDataOnlyWithBothShaderFoldersAndThePictures) {
    EXPECT_TRUE(holdsDemoData(HEPTAD_RUNTIME_DIR));
    Scratch scratch;
    EXPECT_FALSE(holdsDemoData(scratch.path.string()));
    makeData(scratch.path);
    EXPECT_TRUE(holdsDemoData(scratch.path.string()));
    fs::remove(scratch.path / "labshaders");
    EXPECT_FALSE(holdsDemoData(scratch.path.string()));
}

TEST(DataFolder, BesideTheProgramFirstThenTheInstalledShareFolder) {
    Scratch scratch;
    const fs::path bin = scratch.path / "usr" / "bin";
    fs::create_directories(bin);
    EXPECT_EQ(dataFolderFor(bin.string()), "");
    EXPECT_EQ(dataFolderFor(""), "") << "a program that cannot say where it is finds nothing";

    // Installed: found as an absolute path without "..", which messages and tests can show.
    const fs::path share = scratch.path / "usr" / "share" / "heptad";
    makeData(share);
    EXPECT_EQ(dataFolderFor(bin.string()), share.string());

    // A build's runtime folder holds the programs and the data together; that comes first.
    makeData(bin);
    EXPECT_EQ(dataFolderFor(bin.string()), bin.string());
}

TEST(DataFolder, TheRunningProgramsFolderAndPathsKeptFromTheStartingFolder) {
    EXPECT_EQ(fs::path(programFolder()) / "data_folder_test", fs::canonical("/proc/self/exe"));
    EXPECT_EQ(pathFromWorkingFolder("/abs/out.png"), "/abs/out.png");
    EXPECT_EQ(pathFromWorkingFolder("out/x.png"), (fs::current_path() / "out/x.png").string());
}
