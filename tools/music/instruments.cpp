#include "music/instruments.h"

#include "music/dsp.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.141592653589793;

int64_t seconds(double s) {
    return static_cast<int64_t>(std::lround(s * kSampleRate));
}

uint32_t seedFor(int64_t at, uint32_t salt) {
    uint64_t h = static_cast<uint64_t>(at) * 0x9e3779b97f4a7c15ull + salt;
    h ^= h >> 29;
    h *= 0xbf58476d1ce4e5b9ull;
    h ^= h >> 32;
    return static_cast<uint32_t>(h) | 1u;
}

// Tanh saturation normalised to unit gain at full scale.
double saturate(double x, double drive) {
    return std::tanh(x * drive) / std::tanh(drive);
}
} // namespace

void addKick(Stereo& bus, int64_t at, double gain) {
    // A sine whose pitch falls from about 150 Hz to 45 Hz, a faint click on top, then gentle
    // saturation for punch. It starts at phase 0, so its onset is sharp and click-free.
    Noise noise(seedFor(at, 1));
    double phase = 0.0;
    const int64_t length = seconds(0.45);
    for (int64_t n = 0; n < length; ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        const double hz = 45.0 + 105.0 * std::exp(-t * 55.0);
        phase += hz / kSampleRate;
        const double body =
            std::sin(kTwoPi * phase) * std::exp(-t * 6.0) * std::min(1.0, t / 0.0004);
        const double click = noise.next() * std::exp(-t / 0.0012) * 0.18;
        const double y = saturate(body + click, 1.8) * gain;
        bus.add(at + n, y, y);
    }
}

void addSnare(Stereo& bus, int64_t at, double gain) {
    // A short falling tone for the body and band-passed noise for the rattle.
    Noise noise(seedFor(at, 2));
    Svf band;
    band.tune(2200.0, 0.6);
    double phase = 0.0;
    const int64_t length = seconds(0.32);
    for (int64_t n = 0; n < length; ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        phase += 185.0 * (1.0 + 0.6 * std::exp(-t * 45.0)) / kSampleRate;
        const double tone = std::sin(kTwoPi * phase) * std::exp(-t * 28.0) * 0.55;
        band.step(noise.next());
        const double rattle = (band.band + 0.4 * band.high) * std::exp(-t * 15.0) * 0.9;
        const double y = (tone + rattle) * gain * std::min(1.0, t / 0.0005);
        bus.add(at + n, y, y);
    }
}

void addHat(Stereo& bus, int64_t at, double gain, bool open) {
    Noise noise(seedFor(at, open ? 4 : 3));
    Svf highPass;
    highPass.tune(7800.0, 0.8);
    const double decay = open ? 0.2 : 0.032;
    const int64_t length = seconds(decay * 6.0);
    double left = 0.0;
    double right = 0.0;
    panGains(0.25, &left, &right);
    for (int64_t n = 0; n < length; ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        highPass.step(noise.next());
        const double y = highPass.high * std::exp(-t / decay) * gain * std::min(1.0, t / 0.0004);
        bus.add(at + n, y * left, y * right);
    }
}

void addCrash(Stereo& bus, int64_t at, double gain) {
    // Independent noise per side for width.
    Noise noiseL(seedFor(at, 5));
    Noise noiseR(seedFor(at, 6));
    Svf hpL;
    Svf hpR;
    hpL.tune(3800.0, 0.7);
    hpR.tune(4100.0, 0.7);
    const int64_t length = seconds(3.0);
    for (int64_t n = 0; n < length; ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        hpL.step(noiseL.next());
        hpR.step(noiseR.next());
        const double env = std::exp(-t / 0.8) * gain * std::min(1.0, t / 0.002);
        bus.add(at + n, hpL.high * env, hpR.high * env);
    }
}

void addRiser(Stereo& bus, int64_t from, int64_t to, double gain) {
    Noise noiseL(seedFor(from, 7));
    Noise noiseR(seedFor(from, 8));
    Svf bandL;
    Svf bandR;
    const int64_t length = to - from;
    for (int64_t n = 0; n < length; ++n) {
        const double x = static_cast<double>(n) / length;
        if (n % 32 == 0) {
            const double hz = 300.0 * std::pow(8000.0 / 300.0, x);
            bandL.tune(hz, 2.5);
            bandR.tune(hz * 1.03, 2.5);
        }
        bandL.step(noiseL.next());
        bandR.step(noiseR.next());
        const double env = x * x * gain;
        bus.add(from + n, bandL.band * env, bandR.band * env);
    }
}

Stereo holdChord(const std::vector<int>& notes, const ChordShape& shape, double seconds) {
    const int64_t total = seconds * kSampleRate;
    Stereo held(static_cast<size_t>(total));
    const double voiceGain = 1.0 / std::sqrt(static_cast<double>(shape.voices * notes.size()));
    Noise random(seedFor(notes.front() * 131 + static_cast<int64_t>(notes.size()), 9));
    for (int note : notes) {
        for (int v = 0; v < shape.voices; ++v) {
            // Voices spread evenly in pitch and across the field, the outer ones widest.
            const double spread = shape.voices > 1 ? 2.0 * v / (shape.voices - 1) - 1.0 : 0.0;
            const double hz = midiToHz(note + spread * shape.detuneCents / 100.0);
            double left = 0.0;
            double right = 0.0;
            panGains(spread * 0.85 * ((v % 2) ? -1.0 : 1.0), &left, &right);
            Saw saw;
            saw.phase = 0.5 + 0.5 * random.next();
            for (int64_t n = 0; n < total; ++n) {
                const double y = saw.next(hz) * voiceGain;
                held.l[n] += static_cast<float>(y * left);
                held.r[n] += static_cast<float>(y * right);
            }
        }
    }
    return held;
}

void addChord(Stereo& bus, int64_t at, int64_t length, const Stereo& held, double gain,
              const ChordShape& shape) {
    // The release runs for four time constants (-35 dB), then the chord stops.
    const int64_t total =
        std::min({length + seconds(shape.release * 4.0), static_cast<int64_t>(held.frames()),
                  static_cast<int64_t>(bus.frames()) - at});
    Envelope envelope(shape.attack, 1.0, 1.0, shape.release, length);
    for (int64_t n = 0; n < total; ++n) {
        const double env = gain * envelope.next();
        bus.l[at + n] += static_cast<float>(held.l[n] * env);
        bus.r[at + n] += static_cast<float>(held.r[n] * env);
    }
}

void addPluck(Stereo& bus, int64_t at, int64_t length, int note, double gain, double pan) {
    const double hz = midiToHz(note);
    Saw saw;
    Square square;
    double left = 0.0;
    double right = 0.0;
    panGains(pan, &left, &right);
    Envelope envelope(0.002, 0.09, 0.0, 0.04, length);
    const int64_t total = length + seconds(0.25);
    for (int64_t n = 0; n < total; ++n) {
        const double y =
            (0.6 * saw.next(hz) + 0.4 * square.next(hz * 1.002)) * envelope.next() * gain;
        bus.add(at + n, y * left, y * right);
    }
}

void addLead(Stereo& bus, int64_t at, int64_t length, int note, double gain) {
    Saw a;
    Saw b;
    b.phase = 0.37;
    Square sub;
    Svf filter;
    Envelope envelope(0.006, 0.25, 0.7, 0.12, length);
    const int64_t total = length + seconds(0.8);
    double hz = 0.0;
    for (int64_t n = 0; n < total; ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        // Pitch and filter move slowly: update them every 16 frames.
        if (n % 16 == 0) {
            const double vibrato = 0.12 * ramp(t, 0.2, 0.5) * std::sin(kTwoPi * 5.5 * t);
            hz = midiToHz(note + vibrato);
            filter.tune(1400.0 + 4200.0 * std::exp(-t / 0.18), 1.1);
        }
        filter.step(0.5 * a.next(hz * 1.0046) + 0.5 * b.next(hz / 1.0046) +
                    0.3 * sub.next(hz * 0.5));
        const double y = filter.low * envelope.next() * gain;
        bus.add(at + n, y, y);
    }
}

void addBass(Stereo& bus, int64_t at, int64_t length, int note, double gain) {
    const double hz = midiToHz(note);
    Saw saw;
    double phase = 0.0;
    Svf filter;
    // A 6 ms attack keeps the bass's onsets softer than the kick's.
    Envelope envelope(0.006, 0.15, 0.65, 0.03, length);
    const int64_t total = length + seconds(0.2);
    for (int64_t n = 0; n < total; ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        if (n % 16 == 0) {
            filter.tune(260.0 + 1100.0 * std::exp(-t / 0.05), 1.3);
        }
        filter.step(saw.next(hz));
        phase += hz / kSampleRate;
        const double y =
            (0.7 * filter.low + 0.6 * std::sin(kTwoPi * phase)) * envelope.next() * gain;
        bus.add(at + n, y, y);
    }
}

void addAcidLine(Stereo& bus, const std::vector<AcidStep>& steps, double gain,
                 const std::function<double(int64_t)>& cutoff) {
    if (steps.empty()) {
        return;
    }
    // One continuous voice: oscillator, filter and envelopes run on from step to step. A step
    // that a slide leads into keeps the envelopes going and glides its pitch; any other step
    // retriggers them and jumps.
    Saw saw;
    Svf filter;
    OnePole glide;
    glide.setCutoff(1.0 / (kTwoPi * 0.03)); // about 30 ms portamento
    OnePole amp;
    amp.setCutoff(1.0 / (kTwoPi * 0.002)); // de-clicks the gate
    size_t s = 0;
    int64_t trigger = steps[0].at;
    glide.y = steps[0].note;
    const int64_t finish = steps.back().at + steps.back().length + kSampleRate / 20;
    for (int64_t i = steps[0].at; i < finish; ++i) {
        while (s + 1 < steps.size() && steps[s + 1].at <= i) {
            ++s;
            if (!steps[s - 1].slide) {
                trigger = steps[s].at;
                glide.y = steps[s].note;
            }
        }
        const AcidStep& step = steps[s];
        const bool slidesOn = step.slide && s + 1 < steps.size();
        const int64_t gateEnd = slidesOn ? steps[s + 1].at : step.at + step.length;
        const double t = static_cast<double>(i - trigger) / kSampleRate;
        if ((i - steps[0].at) % 8 == 0) {
            const double depth = step.accent ? 5.0 : 2.6;
            const double decay = step.accent ? 0.12 : 0.2;
            filter.tune(cutoff(i) * (1.0 + depth * std::exp(-t / decay)), 6.5);
        }
        filter.step(saw.next(midiToHz(glide.step(step.note))));
        const double level = amp.step(i < gateEnd ? (step.accent ? 1.0 : 0.72) : 0.0);
        const double y = saturate(filter.low * 1.6, 2.2) * level * gain;
        bus.add(i, y, y);
    }
}

void lowPassBus(Stereo& bus, int64_t from, int64_t to, double q,
                const std::function<double(int64_t)>& cutoff) {
    Svf left;
    Svf right;
    from = std::max<int64_t>(from, 0);
    to = std::min<int64_t>(to, static_cast<int64_t>(bus.frames()));
    for (int64_t i = from; i < to; ++i) {
        if ((i - from) % 32 == 0) {
            const double hz = cutoff(i);
            left.tune(hz, q);
            right.tune(hz, q);
        }
        left.step(bus.l[i]);
        right.step(bus.r[i]);
        bus.l[i] = static_cast<float>(left.low);
        bus.r[i] = static_cast<float>(right.low);
    }
}
