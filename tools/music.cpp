// The soundtrack "demotune.mp3": synthesises the track, masters it (high-pass, loudness to
// -14 LUFS, peaks held under -1 dBFS with headroom for the encoder) and encodes it with LAME.

#include "music/dsp.h"
#include "music/master.h"
#include "music/mp3.h"
#include "music/song.h"

#include <cmath>
#include <cstdio>

namespace {
constexpr double kTargetLufs = -14.0;
// The limiter's ceiling sits below -1 dBFS: MP3 coding adds a little to the peaks.
constexpr double kCeilingDb = -2.5;

void highPass(Stereo& track, double hz) {
    Svf left;
    Svf right;
    left.tune(hz, 0.7071);
    right.tune(hz, 0.7071);
    for (size_t i = 0; i < track.frames(); ++i) {
        left.step(track.l[i]);
        right.step(track.r[i]);
        track.l[i] = static_cast<float>(left.high);
        track.r[i] = static_cast<float>(right.high);
    }
}

// master = mix scaled by gainDb, then limited.
void scaleAndLimit(const Stereo& mix, double gainDb, Stereo& master) {
    const auto gain = static_cast<float>(dbToGain(gainDb));
    for (size_t i = 0; i < mix.frames(); ++i) {
        master.l[i] = mix.l[i] * gain;
        master.r[i] = mix.r[i] * gain;
    }
    limitPeaks(master, kCeilingDb, 0.08);
}

// Fades the last seconds to silence, so the file ends on zero.
void fadeOut(Stereo& track, double seconds) {
    const auto length = static_cast<size_t>(seconds * kSampleRate);
    const size_t start = track.frames() - length;
    for (size_t i = start; i < track.frames(); ++i) {
        const double x = static_cast<double>(i - start) / length;
        const auto g = static_cast<float>(0.5 + 0.5 * std::cos(x * 3.141592653589793));
        track.l[i] *= g;
        track.r[i] *= g;
    }
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s output.mp3\n", argv[0]);
        return 2;
    }
    Stereo mix = renderSong();
    highPass(mix, 28.0);

    // The limiter takes off a little loudness, so the gain is found in a few rounds.
    double gainDb = kTargetLufs - integratedLoudness(mix);
    Stereo master(mix.frames());
    scaleAndLimit(mix, gainDb, master);
    for (int round = 0; round < 2; ++round) {
        gainDb += kTargetLufs - integratedLoudness(master);
        scaleAndLimit(mix, gainDb, master);
    }
    fadeOut(master, 1.0);

    const std::vector<unsigned char> mp3 = encodeMp3(master, 192);
    std::FILE* file = mp3.empty() ? nullptr : std::fopen(argv[1], "wb");
    if (file == nullptr || std::fwrite(mp3.data(), 1, mp3.size(), file) != mp3.size()) {
        std::fprintf(stderr, "cannot encode or write %s\n", argv[1]);
        if (file != nullptr) {
            std::fclose(file);
        }
        return 1;
    }
    std::fclose(file);
    std::printf("demotune.mp3: %.1f s, %.1f LUFS, peak %.1f dBFS before encoding\n",
                master.frames() / static_cast<double>(kSampleRate), integratedLoudness(master),
                peakDb(master));
    return 0;
}
