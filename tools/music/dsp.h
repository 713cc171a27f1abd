#pragma once
// Building blocks of the synthesiser: band-limited oscillators, a state-variable filter,
// envelopes and noise. Plain structs stepped one sample at a time.

#include <cmath>
#include <cstdint>

constexpr int kSampleRate = 44100;
constexpr double kTwoPi = 6.283185307179586;

inline double midiToHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}
inline double dbToGain(double db) {
    return std::pow(10.0, db / 20.0);
}

// Correction of a naive sawtooth's jump (polynomial band-limited step), which keeps the
// saws free of audible aliasing up in the treble.
inline double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

struct Saw {
    double phase = 0.0; // 0..1
    double next(double hz) {
        const double dt = hz / kSampleRate;
        const double y = 2.0 * phase - 1.0 - polyBlep(phase, dt);
        phase += dt;
        phase -= std::floor(phase);
        return y;
    }
};

struct Square {
    double phase = 0.0;
    double next(double hz) {
        const double dt = hz / kSampleRate;
        double y = phase < 0.5 ? 1.0 : -1.0;
        y += polyBlep(phase, dt);
        double shifted = phase + 0.5;
        shifted -= std::floor(shifted);
        y -= polyBlep(shifted, dt);
        phase += dt;
        phase -= std::floor(phase);
        return y;
    }
};

// Topology-preserving state-variable filter (trapezoidal integration), stable at any
// cutoff below Nyquist and under fast modulation.
struct Svf {
    double ic1 = 0.0;
    double ic2 = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
    double a3 = 0.0;
    double k = 1.0;
    double low = 0.0;
    double band = 0.0;
    double high = 0.0;

    void tune(double hz, double q) {
        const double g =
            std::tan(3.141592653589793 * std::fmin(hz, kSampleRate * 0.45) / kSampleRate);
        k = 1.0 / q;
        a1 = 1.0 / (1.0 + g * (g + k));
        a2 = g * a1;
        a3 = g * a2;
    }
    void step(double x) {
        const double v3 = x - ic2;
        const double v1 = a1 * ic1 + a2 * v3;
        const double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0 * v1 - ic1;
        ic2 = 2.0 * v2 - ic2;
        low = v2;
        band = v1;
        high = x - k * v1 - v2;
    }
};

// One-pole smoother / lowpass: y += (x - y) * coefficient.
struct OnePole {
    double y = 0.0;
    double coefficient = 1.0;
    void setCutoff(double hz) { coefficient = 1.0 - std::exp(-kTwoPi * hz / kSampleRate); }
    double step(double x) {
        y += (x - y) * coefficient;
        return y;
    }
};

// Attack-decay-sustain-release envelope, stepped once per frame: a linear attack, then an
// exponential fall to the sustain level while the gate is held, then an exponential release.
// The exponential segments advance by multiplication, so no exp() per frame. Times in seconds.
struct Envelope {
    Envelope(double attack, double decay, double sustain, double release, int64_t gateFrames)
        : attackFrames(std::fmax(1.0, attack * kSampleRate)), sustain(sustain),
          decayFactor(std::exp(-1.0 / (decay * kSampleRate))),
          releaseFactor(std::exp(-1.0 / (release * kSampleRate))), gate(gateFrames) {}

    double next() {
        if (frame < gate) {
            if (frame < attackFrames) {
                level = (frame + 1) / attackFrames;
                above = 1.0 - sustain;
            } else {
                above *= decayFactor;
                level = sustain + above;
            }
        } else {
            level *= releaseFactor;
        }
        ++frame;
        return level;
    }

    double attackFrames;
    double sustain;
    double decayFactor;
    double releaseFactor;
    int64_t gate;
    int64_t frame = 0;
    double level = 0.0;
    double above = 0.0; // how far the level still is above the sustain
};

// White noise in [-1, 1) from a fixed seed (xorshift).
struct Noise {
    uint32_t state;
    explicit Noise(uint32_t seed) : state(seed ? seed : 1u) {}
    double next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state * (2.0 / 4294967296.0) - 1.0;
    }
};

// Equal-power pan, position -1 (left) .. 1 (right).
inline void panGains(double position, double* left, double* right) {
    const double angle = (position + 1.0) * 0.25 * 3.141592653589793;
    *left = std::cos(angle) * 1.41421356;
    *right = std::sin(angle) * 1.41421356;
}

// 0 before a, 1 after b, linear between.
inline double ramp(double t, double a, double b) {
    return std::fmin(1.0, std::fmax(0.0, (t - a) / (b - a)));
}
