#include "music/stereo.h"

#include "music/dsp.h"

#include <algorithm>
#include <cmath>

void Stereo::mixIn(const Stereo& other, double gain) {
    const auto g = static_cast<float>(gain);
    for (size_t i = 0; i < l.size() && i < other.l.size(); ++i) {
        l[i] += other.l[i] * g;
        r[i] += other.r[i] * g;
    }
}

void Stereo::clear() {
    std::fill(l.begin(), l.end(), 0.0f);
    std::fill(r.begin(), r.end(), 0.0f);
}

void pingPongDelay(Stereo& track, double delaySeconds, double feedback, double dampingHz) {
    const auto delay = static_cast<size_t>(std::lround(delaySeconds * kSampleRate));
    std::vector<double> lineL(delay, 0.0);
    std::vector<double> lineR(delay, 0.0);
    OnePole toneL;
    OnePole toneR;
    toneL.setCutoff(dampingHz);
    toneR.setCutoff(dampingHz);
    size_t pos = 0;
    for (size_t i = 0; i < track.frames(); ++i) {
        const double echoL = lineL[pos];
        const double echoR = lineR[pos];
        // The dry signal enters on the left as a mono sum; each pass crosses to the other side.
        const double mono = 0.5 * (track.l[i] + track.r[i]);
        track.l[i] = static_cast<float>(echoL);
        track.r[i] = static_cast<float>(echoR);
        lineL[pos] = toneL.step(mono + echoR * feedback);
        lineR[pos] = toneR.step(echoL * feedback);
        pos = (pos + 1) % delay;
    }
}

namespace {
struct Comb {
    std::vector<double> buffer;
    size_t pos = 0;
    double store = 0.0;
    explicit Comb(size_t size) : buffer(size, 0.0) {}
    double step(double x, double feedback, double damping) {
        const double y = buffer[pos];
        store = y * (1.0 - damping) + store * damping;
        buffer[pos] = x + store * feedback;
        pos = (pos + 1) % buffer.size();
        return y;
    }
};

struct AllPass {
    std::vector<double> buffer;
    size_t pos = 0;
    explicit AllPass(size_t size) : buffer(size, 0.0) {}
    double step(double x) {
        const double delayed = buffer[pos];
        buffer[pos] = x + delayed * 0.5;
        pos = (pos + 1) % buffer.size();
        return delayed - x;
    }
};

// Mutually prime delay lengths (samples at 44.1 kHz) spread over 25 to 37 ms for the combs.
const size_t kCombLengths[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
const size_t kAllPassLengths[4] = {556, 441, 341, 225};
constexpr size_t kStereoSpread = 23;

// Reads the mono sum of input[i] and writes out[i] (which may be one of the input channels:
// each frame is read before it is written).
void reverbChannel(const Samples& inL, const Samples& inR, Samples& out, size_t spread,
                   double roomSize, double damping) {
    std::vector<Comb> combs;
    for (size_t length : kCombLengths) {
        combs.emplace_back(length + spread);
    }
    std::vector<AllPass> allPasses;
    for (size_t length : kAllPassLengths) {
        allPasses.emplace_back(length + spread);
    }
    const double feedback = 0.7 + 0.28 * roomSize;
    for (size_t i = 0; i < out.size(); ++i) {
        const double x = 0.015 * (inL[i] + inR[i]);
        double sum = 0.0;
        for (Comb& comb : combs) {
            sum += comb.step(x, feedback, damping);
        }
        for (AllPass& allPass : allPasses) {
            sum = allPass.step(sum);
        }
        out[i] = static_cast<float>(sum);
    }
}
} // namespace

void reverb(Stereo& track, double roomSize, double damping) {
    // The left channel's reverberation needs the dry right channel, so it goes to a side
    // buffer first.
    Samples left(track.frames());
    reverbChannel(track.l, track.r, left, 0, roomSize, damping);
    reverbChannel(track.l, track.r, track.r, kStereoSpread, roomSize, damping);
    track.l.swap(left);
}
