#pragma once
// Shared by the tests of the generated content: where the built files and their generators
// are, and running a generator again into a scratch folder.

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

inline std::string runtimeFile(const std::string& relative) {
    return std::string(HEPTAD_RUNTIME_DIR) + "/" + relative;
}

inline std::vector<unsigned char> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs tools/make_<name> (built next to the runtime folder) to write a fresh copy of a file;
// returns the copy's path, or "" if the generator failed.
inline std::string regenerate(const std::string& name, const std::string& fileName) {
    const std::string dir = testing::TempDir() + "heptad-content-" + std::to_string(getpid());
    mkdir(dir.c_str(), 0755);
    const std::string path = dir + "/" + fileName;
    const std::string tool = std::string(HEPTAD_RUNTIME_DIR) + "/../tools/make_" + name;
    const std::string command = "'" + tool + "' '" + path + "' > /dev/null";
    return std::system(command.c_str()) == 0 ? path : "";
}

// The generator, run again, writes exactly the bytes the build put into the runtime folder.
inline void expectReproducible(const std::string& name, const std::string& runtimePath) {
    const std::vector<unsigned char> built = readBytes(runtimeFile(runtimePath));
    ASSERT_FALSE(built.empty()) << runtimePath << " was not generated";
    const std::string again = regenerate(name, "again-" + std::to_string(built.size()));
    ASSERT_FALSE(again.empty()) << "make_" << name << " failed";
    const std::vector<unsigned char> second = readBytes(again);
    std::remove(again.c_str());
    EXPECT_EQ(second.size(), built.size());
    EXPECT_TRUE(second == built) << "make_" << name << " is not deterministic";
}
