// The soundtrack "demotune.mp3": synthesises the track, masters it (high-pass, loudness to
// -14 LUFS, peaks held under -1 dBFS with headroom for the encoder) and encodes it with LAME.
// Given a second path, it also writes the mastered samples there as a 32-bit float WAV, from
// which the single-file web page's smaller encoding is made without coding the MP3 again.

#include "music/dsp.h"
#include "music/master.h"
#include "music/mp3.h"
#include "music/song.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

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

void putWord(std::vector<unsigned char>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

// The samples as a WAV file: format 3 (IEEE float), two interleaved channels.
bool writeWav(const Stereo& track, const char* path) {
    const auto dataBytes = static_cast<uint32_t>(track.frames() * 2 * sizeof(float));
    std::vector<unsigned char> head;
    head.insert(head.end(), {'R', 'I', 'F', 'F'});
    putWord(head, 36 + dataBytes, 4);
    head.insert(head.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putWord(head, 16, 4);
    putWord(head, 3, 2); // IEEE float
    putWord(head, 2, 2);
    putWord(head, kSampleRate, 4);
    putWord(head, kSampleRate * 2 * sizeof(float), 4);
    putWord(head, 2 * sizeof(float), 2);
    putWord(head, 32, 2);
    head.insert(head.end(), {'d', 'a', 't', 'a'});
    putWord(head, dataBytes, 4);
    std::vector<float> samples(track.frames() * 2);
    for (size_t i = 0; i < track.frames(); ++i) {
        samples[2 * i] = track.l[i];
        samples[2 * i + 1] = track.r[i];
    }
    std::FILE* file = std::fopen(path, "wb");
    const bool written =
        file != nullptr && std::fwrite(head.data(), 1, head.size(), file) == head.size() &&
        std::fwrite(samples.data(), sizeof(float), samples.size(), file) == samples.size();
    return file != nullptr && std::fclose(file) == 0 && written;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s output.mp3 [samples.wav]\n", argv[0]);
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
    if (argc > 2 && !writeWav(master, argv[2])) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("demotune.mp3: %.1f s, %.1f LUFS, peak %.1f dBFS before encoding\n",
                master.frames() / static_cast<double>(kSampleRate), integratedLoudness(master),
                peakDb(master));
    return 0;
}
