#include "music/master.h"

#include "music/dsp.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace {
struct Biquad {
    double b0, b1, b2, a1, a2;
    double z1 = 0.0;
    double z2 = 0.0;
    double step(double x) {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// The two K-weighting stages of BS.1770 (a high shelf of about +4 dB above 1.5 kHz modelling
// the head, and a 38 Hz high-pass), derived for our sample rate by the bilinear transform of
// the analogue prototypes that the standard's 48 kHz coefficients come from.
void kWeighting(Biquad* shelf, Biquad* highPass) {
    const double pi = 3.141592653589793;
    {
        const double f0 = 1681.974450955533;
        const double gainDb = 3.999843853973347;
        const double q = 0.7071752369554196;
        const double k = std::tan(pi * f0 / kSampleRate);
        const double vh = std::pow(10.0, gainDb / 20.0);
        const double vb = std::pow(vh, 0.4996667741545416);
        const double a0 = 1.0 + k / q + k * k;
        *shelf = {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0,
                  (vh - vb * k / q + k * k) / a0, 2.0 * (k * k - 1.0) / a0,
                  (1.0 - k / q + k * k) / a0};
    }
    {
        const double f0 = 38.13547087602444;
        const double q = 0.5003270373238773;
        const double k = std::tan(pi * f0 / kSampleRate);
        const double a0 = 1.0 + k / q + k * k;
        *highPass = {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
    }
}
} // namespace

double integratedLoudness(const Stereo& track) {
    // Mean square of the K-weighted signal in 100 ms steps, summed over both channels.
    const size_t step = kSampleRate / 10;
    std::vector<double> power;
    const Samples* channels[2] = {&track.l, &track.r};
    for (int c = 0; c < 2; ++c) {
        Biquad shelf{};
        Biquad highPass{};
        kWeighting(&shelf, &highPass);
        size_t index = 0;
        double sum = 0.0;
        for (size_t i = 0; i < track.frames(); ++i) {
            const double y = highPass.step(shelf.step((*channels[c])[i]));
            sum += y * y;
            if ((i + 1) % step == 0) {
                if (c == 0) {
                    power.push_back(0.0);
                }
                power[index++] += sum / step;
                sum = 0.0;
            }
        }
    }
    // Blocks of 400 ms overlapping by 75 %.
    std::vector<double> blocks;
    for (size_t i = 0; i + 4 <= power.size(); ++i) {
        blocks.push_back((power[i] + power[i + 1] + power[i + 2] + power[i + 3]) / 4.0);
    }
    auto lufs = [](double p) { return -0.691 + 10.0 * std::log10(std::max(p, 1e-20)); };
    auto gatedMean = [&](double gate) {
        double sum = 0.0;
        int count = 0;
        for (double p : blocks) {
            if (lufs(p) > gate) {
                sum += p;
                ++count;
            }
        }
        return count > 0 ? sum / count : 0.0;
    };
    const double absolute = gatedMean(-70.0);
    if (absolute <= 0.0) {
        return -70.0;
    }
    return lufs(gatedMean(lufs(absolute) - 10.0));
}

double peakDb(const Stereo& track) {
    float peak = 0.0f;
    for (size_t i = 0; i < track.frames(); ++i) {
        peak = std::max({peak, std::fabs(track.l[i]), std::fabs(track.r[i])});
    }
    return 20.0 * std::log10(std::max(peak, 1e-12f));
}

void limitPeaks(Stereo& track, double ceilingDb, double releaseSeconds) {
    const size_t n = track.frames();
    const double ceiling = dbToGain(ceilingDb);
    const size_t lookAhead = kSampleRate / 200; // 5 ms
    // The gain frame i needs on its own.
    auto need = [&](size_t i) {
        const double peak = std::max(std::fabs(track.l[i]), std::fabs(track.r[i]));
        return peak > ceiling ? ceiling / peak : 1.0;
    };
    // held(m) = the smallest need over [m, m + lookAhead] (a sliding minimum), recovering no
    // faster than the release allows. The output at i is the mean of held over
    // [i - lookAhead, i]: every term's window contains i, so each term, and so the mean, is at
    // most need(i); the mean turns the steps into smooth ramps. Terms before the start take
    // held(0), whose window also contains those i. One pass, with a ring of the last terms.
    std::vector<double> ring(lookAhead + 1, 0.0);
    std::deque<std::pair<size_t, double>> window; // (frame, need), needs increasing
    size_t next = 0;
    const double release = 1.0 - std::exp(-1.0 / (releaseSeconds * kSampleRate));
    double recovering = 1.0;
    double sum = 0.0;
    for (size_t i = 0; i < n; ++i) {
        for (; next < n && next <= i + lookAhead; ++next) {
            const double g = need(next);
            while (!window.empty() && window.back().second >= g) {
                window.pop_back();
            }
            window.emplace_back(next, g);
        }
        while (window.front().first < i) {
            window.pop_front();
        }
        recovering = std::min(window.front().second, recovering + (1.0 - recovering) * release);
        if (i == 0) {
            std::fill(ring.begin(), ring.end(), recovering);
            sum = recovering * (lookAhead + 1);
        } else {
            double& oldest = ring[i % (lookAhead + 1)];
            sum += recovering - oldest;
            oldest = recovering;
        }
        const double gain = sum / (lookAhead + 1);
        track.l[i] = static_cast<float>(track.l[i] * gain);
        track.r[i] = static_cast<float>(track.r[i] * gain);
    }
}
