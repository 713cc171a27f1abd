// The soundtrack, decoded the way the demo plays it: SDL_mixer (mpg123 inside) on a dummy
// audio device, which trims the encoder's delay and padding as recorded in the LAME tag.

#include "support/drum_ending.h"
#include "support/generated_content.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
constexpr int kRate = 44100;
constexpr double kBeat = 0.46875;

// The decoded track as interleaved 16-bit stereo at 44.1 kHz.
std::vector<int16_t> decode(const std::string& path) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 ||
        Mix_OpenAudio(kRate, AUDIO_S16SYS, 2, 4096) != 0) {
        ADD_FAILURE() << "no audio device: " << SDL_GetError();
        return {};
    }
    std::vector<int16_t> samples;
    if (Mix_Chunk* chunk = Mix_LoadWAV(path.c_str())) {
        samples.resize(chunk->alen / 2);
        std::memcpy(samples.data(), chunk->abuf, samples.size() * 2);
        Mix_FreeChunk(chunk);
    } else {
        ADD_FAILURE() << "cannot decode: " << Mix_GetError();
    }
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return samples;
}

// Second-order Butterworth low-pass (bilinear transform), run forwards then backwards so the
// filtered signal has no delay against the original.
std::vector<double> zeroPhaseLowPass(std::vector<double> x, double hz) {
    const double w = 2.0 * 3.141592653589793 * hz / kRate;
    const double alpha = std::sin(w) / (2.0 * 0.7071067811865476);
    const double c = std::cos(w);
    const double a0 = 1.0 + alpha;
    const double b0 = (1.0 - c) / 2.0 / a0, b1 = (1.0 - c) / a0, b2 = b0;
    const double a1 = -2.0 * c / a0, a2 = (1.0 - alpha) / a0;
    auto pass = [&](auto begin, auto end) {
        double z1 = 0.0, z2 = 0.0;
        for (auto it = begin; it != end; ++it) {
            const double y = b0 * *it + z1;
            z1 = b1 * *it - a1 * y + z2;
            z2 = b2 * *it - a2 * y;
            *it = y;
        }
    };
    pass(x.begin(), x.end());
    pass(x.rbegin(), x.rend());
    return x;
}
} // namespace

TEST(GeneratedMusic, IsA44kHzStereoLayerThreeStreamWithAGaplessInfoTag) {
    const std::vector<unsigned char> mp3 = readBytes(runtimeFile("demotune.mp3"));
    ASSERT_GT(mp3.size(), 1000000u);
    size_t at = 0;
    if (std::memcmp(mp3.data(), "ID3", 3) == 0) { // skip an ID3v2 tag, if any
        at = 10 + ((mp3[6] & 0x7f) << 21 | (mp3[7] & 0x7f) << 14 | (mp3[8] & 0x7f) << 7 |
                   (mp3[9] & 0x7f));
    }
    // Frame header: sync, MPEG-1 (version bits 11), Layer III (01), sample-rate index 0 is
    // 44.1 kHz, channel mode 3 would be mono.
    ASSERT_EQ(mp3[at], 0xff);
    EXPECT_EQ(mp3[at + 1] & 0xfe, 0xfa);
    EXPECT_EQ((mp3[at + 2] >> 2) & 3, 0);
    EXPECT_NE(mp3[at + 3] >> 6, 3);
    // The first frame carries the Info tag with LAME's delay and padding, which decoders use
    // to cut exactly the synthesised samples back out.
    const std::string first(mp3.begin() + at, mp3.begin() + at + 418);
    EXPECT_TRUE(first.find("Info") != std::string::npos || first.find("Xing") != std::string::npos);
    EXPECT_NE(first.find("LAME"), std::string::npos);
}

TEST(GeneratedMusic, PlaysAtLeast170SecondsWithPeaksBelowMinusOneDbfs) {
    const std::vector<int16_t> pcm = decode(runtimeFile("demotune.mp3"));
    ASSERT_FALSE(pcm.empty());
    const double seconds = pcm.size() / 2.0 / kRate;
    RecordProperty("seconds", std::to_string(seconds));
    EXPECT_GE(seconds, 170.0);
    EXPECT_LT(seconds, 180.0);
    int peak = 0;
    for (int16_t s : pcm) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    const double peakDb = 20.0 * std::log10(peak / 32768.0);
    RecordProperty("peak_dbfs", std::to_string(peakDb));
    EXPECT_LT(peakDb, -1.0);
    EXPECT_GT(peakDb, -6.0) << "mastered far too quietly";
}

TEST(GeneratedMusic, KickOnsetsFallOnTheBeatGrid) {
    const std::vector<int16_t> pcm = decode(runtimeFile("demotune.mp3"));
    ASSERT_GT(pcm.size(), 2u * 165 * kRate);
    std::vector<double> mono(pcm.size() / 2);
    for (size_t i = 0; i < mono.size(); ++i) {
        mono[i] = (pcm[2 * i] + pcm[2 * i + 1]) / 65536.0;
    }
    const std::vector<double> low = zeroPhaseLowPass(mono, 150.0);
    double top = 0.0;
    for (double v : low) {
        top = std::max(top, std::fabs(v));
    }

    // The beats from 24 s to the final chord at 160.3 s that carry a kick: strong low end
    // around the beat. (After the chord only its echoes remain.)
    const int pre = kRate * 30 / 1000;
    const int post = kRate * 60 / 1000;
    std::vector<long> kicks;
    for (int k = 0; k * kBeat <= 160.5; ++k) {
        const long centre = std::lround(k * kBeat * kRate);
        if (k * kBeat < 24.0) {
            continue;
        }
        double strongest = 0.0;
        for (long i = centre - pre; i < centre + post; ++i) {
            strongest = std::max(strongest, std::fabs(low[i]));
        }
        if (strongest > 0.4 * top) {
            kicks.push_back(centre);
        }
    }
    // The kick plays every beat of four sections: over 200 beats in this span.
    ASSERT_GT(kicks.size(), 200u);

    // Averaged over all kicks the other parts cancel out and the kick's shape remains; its
    // onset (first reaching a quarter of its peak) must sit on the grid. An untrimmed encoder
    // delay would put it some 25 ms late.
    std::vector<double> shape(pre + post, 0.0);
    for (long centre : kicks) {
        for (int j = 0; j < pre + post; ++j) {
            shape[j] += low[centre - pre + j] / kicks.size();
        }
    }
    int peak = 0;
    for (int j = 0; j < pre + post; ++j) {
        peak = std::fabs(shape[j]) > std::fabs(shape[peak]) ? j : peak;
    }
    // Walk back from the peak over the kick's lobes (its zero crossings are brief) to the
    // earliest sample at a quarter of the peak, stopping at the first 2 ms of quiet.
    int onset = peak;
    for (int j = peak; j >= 0 && onset - j < kRate / 500; --j) {
        if (std::fabs(shape[j]) >= 0.25 * std::fabs(shape[peak])) {
            onset = j;
        }
    }
    const double onsetMs = (onset - pre) * 1000.0 / kRate;
    RecordProperty("kick_onset_ms", std::to_string(onsetMs));
    EXPECT_NEAR(onsetMs, 0.0, 3.0);

    // And every single kick matches that shape in place: no drift, no jitter (lag of best
    // correlation within +-1 ms, searched over +-10 ms).
    const int search = kRate / 100;
    for (long centre : kicks) {
        double best = -1e30;
        int lag = 0;
        for (int l = -search; l <= search; ++l) {
            double sum = 0.0;
            for (int j = pre; j < pre + kRate * 30 / 1000; ++j) {
                sum += shape[j] * low[centre - pre + j + l];
            }
            if (sum > best) {
                best = sum;
                lag = l;
            }
        }
        ASSERT_LE(std::abs(lag), kRate / 1000) << "kick at " << centre / double(kRate) << " s";
    }
}

TEST(GeneratedMusic, TheLastChordRingsBeforeThePicturesEndAfterAStartUpOfThreeSeconds) {
    // The music starts with the first frame, so live it trails the pictures by the start-up
    // time; the pictures end at 164 s. The drums stop with the final chord.
    const std::vector<int16_t> pcm = decode(runtimeFile("demotune.mp3"));
    ASSERT_GT(pcm.size(), 2u * 170 * kRate);
    std::vector<float> mono(pcm.size() / 2);
    for (size_t i = 0; i < mono.size(); ++i) {
        mono[i] = (pcm[2 * i] + pcm[2 * i + 1]) / 65536.0f;
    }
    const double chord = lastDrumBeat(mono, kRate, 320 * kBeat, kBeat); // from 150 s
    RecordProperty("final_chord_s", std::to_string(chord));
    EXPECT_GT(chord, 158.0) << "the finale keeps its drums to near its end";
    EXPECT_LT(chord + 3.0, 164.0 - 0.5) << "heard for half a second at least";
}

TEST(GeneratedMusic, IntegratedLoudnessIsAboutMinus14Lufs) {
    // FFmpeg's EBU R128 meter, an independent check of the generator's own measurement.
    const std::string command = "ffmpeg -hide_banner -nostats -i '" + runtimeFile("demotune.mp3") +
                                "' -af ebur128 -f null - 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    const int status = pclose(pipe);
    const size_t summary = output.find("Integrated loudness:");
    if (status != 0 || summary == std::string::npos) {
        GTEST_SKIP() << "ffmpeg's loudness meter is not available";
    }
    const size_t value = output.find("I:", summary);
    ASSERT_NE(value, std::string::npos);
    const double lufs = std::stod(output.substr(value + 2));
    RecordProperty("integrated_lufs", std::to_string(lufs));
    EXPECT_NEAR(lufs, -14.0, 1.0);
}

TEST(GeneratedMusic, GeneratorIsReproducible) {
    expectReproducible("music", "demotune.mp3");
}
