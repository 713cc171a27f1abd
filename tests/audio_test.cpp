#include "audio/sound_engine.h"

#include <SDL.h>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
std::string diskOutputPath() {
    return "/tmp/heptad-audio-" + std::to_string(getpid()) + ".raw";
}

// SDL's disk driver stands in for a sound card: it writes what it would play to a file.
void useDiskDriver() {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", diskOutputPath().c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);
}

// The samples written so far. The driver goes on appending while this reads, faster than a
// byte-by-byte reader in an unoptimised build, so the size is taken once and read as a block.
std::vector<int16_t> readSamples(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
    std::vector<int16_t> samples(static_cast<size_t>(size) / 2);
    in.seekg(0);
    in.read(reinterpret_cast<char*>(samples.data()),
            static_cast<std::streamsize>(samples.size() * 2));
    return samples;
}

std::string musicPath() {
    return std::string(HEPTAD_RUNTIME_DIR) + "/demotune.mp3";
}
} // namespace

TEST(SoundEngine, PlaysTheTrackOnceAndRealSamplesReachTheDevice) {
    ASSERT_TRUE(std::ifstream(musicPath()).good()) << "no generated track in the runtime folder";
    useDiskDriver();
    SoundEngine engine;
    ASSERT_TRUE(engine.hasDevice());
    engine.play2D(musicPath().c_str());
    EXPECT_EQ(engine.tracksStarted(), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const std::vector<int16_t> samples = readSamples(diskOutputPath());
    std::remove(diskOutputPath().c_str());
    ASSERT_GT(samples.size(), 44100u) << "about a second of stereo audio";
    int peak = 0;
    for (int16_t s : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    EXPECT_GT(peak, 1000) << "the device received silence";
}

TEST(SoundEngine, MissingOrBrokenFileStaysSilentAndQuiet) {
    useDiskDriver();
    SoundEngine engine;
    ASSERT_TRUE(engine.hasDevice());
    testing::internal::CaptureStdout();
    engine.play2D("no-such-track.mp3");
    const std::string garbage = "/tmp/heptad-not-music-" + std::to_string(getpid()) + ".mp3";
    std::ofstream(garbage) << "this is not an mp3 file at all";
    engine.play2D(garbage.c_str());
    std::ofstream(garbage + ".empty");
    engine.play2D((garbage + ".empty").c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(engine.tracksStarted(), 0);
    std::remove(garbage.c_str());
    std::remove((garbage + ".empty").c_str());
    std::remove(diskOutputPath().c_str());
}

TEST(SoundEngine, NoDeviceMeansSilenceNotFailure) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    SoundEngine engine;
    EXPECT_FALSE(engine.hasDevice());
    engine.play2D(musicPath().c_str());
    EXPECT_EQ(engine.tracksStarted(), 0);
}
