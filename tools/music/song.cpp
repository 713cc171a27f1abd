#include "music/song.h"

#include "music/dsp.h"
#include "music/instruments.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {
enum Section { Intro, Groove, FullGroove, Breakdown, Drop, BreakdownTwo, Finale, Outro, kSections };

// First beat of each section: the beats nearest the scene changes at 24, 44, 67, 83, 112 and
// 129 s, and the final chord on the beat nearest 164 s. Each section counts its own bars from
// its first beat, so every section opens on a downbeat; the odd beats left at a section's end
// carry a fill.
const int kSectionStart[kSections] = {0, 51, 94, 143, 177, 239, 275, 350};

int sectionEnd(int s) {
    return s + 1 < kSections ? kSectionStart[s + 1] : 366;
}

Section sectionOfBeat(double beat) {
    int s = 0;
    while (s + 1 < kSections && beat >= kSectionStart[s + 1]) {
        ++s;
    }
    return static_cast<Section>(s);
}

// Am, F, C, G: pad voicing (close, shared tones held), bass root and acid root.
struct Chord {
    std::vector<int> pad;
    int bass;
    int acid;
};
const Chord kChords[4] = {
    {{57, 60, 64, 69}, 45, 33}, // A minor
    {{57, 60, 65, 69}, 41, 29}, // F
    {{55, 60, 64, 67}, 36, 36}, // C
    {{55, 59, 62, 67}, 43, 31}, // G
};

// The lead: an eight-bar tune over two rounds of the chords (bar, beat, length in beats, note).
struct Note {
    int bar;
    double beat;
    double length;
    int note;
};
const Note kMelody[] = {
    {0, 0, 1.5, 76},   {0, 1.5, 0.5, 74}, {0, 2, 1, 72},     {0, 3, 1, 69},     {1, 0, 1.5, 72},
    {1, 1.5, 0.5, 74}, {1, 2, 1, 76},     {1, 3, 1, 77},     {2, 0, 1.5, 76},   {2, 1.5, 0.5, 79},
    {2, 2, 1, 76},     {2, 3, 0.5, 74},   {2, 3.5, 0.5, 72}, {3, 0, 2, 74},     {3, 2, 1, 71},
    {3, 3, 1, 74},     {4, 0, 1, 81},     {4, 1, 0.5, 79},   {4, 1.5, 0.5, 76}, {4, 2, 2, 76},
    {5, 0, 1, 77},     {5, 1, 0.5, 76},   {5, 1.5, 0.5, 72}, {5, 2, 2, 72},     {6, 0, 1, 79},
    {6, 1, 0.5, 76},   {6, 1.5, 0.5, 79}, {6, 2, 1, 84},     {6, 3, 1, 83},     {7, 0, 1.5, 83},
    {7, 1.5, 0.5, 81}, {7, 2, 2, 79},
};

// Arpeggio: which of the five chord tones (the pad an octave up plus the third two octaves
// up) each sixteenth plays.
const int kArpOrder[16] = {0, 1, 2, 3, 4, 3, 2, 1, 0, 2, 1, 3, 2, 4, 3, 1};

// Acid line over one bar, relative to the chord's acid root.
struct AcidSlot {
    int offset;
    bool on;
    bool accent;
    bool slide;
};
const AcidSlot kAcid[16] = {
    {0, true, true, false},   {0, true, false, false},  {12, true, false, true},
    {0, true, false, false},  {0, false, false, false}, {0, true, true, false},
    {7, true, false, false},  {12, true, true, true},   {0, true, false, false},
    {0, false, false, false}, {3, true, false, false},  {0, true, false, false},
    {15, true, true, true},   {12, true, false, false}, {0, true, false, false},
    {10, true, false, true},
};

// Calls f(firstBeat, endBeat, chord) for each bar of a section (the last one may be short).
template <class F> void forEachBar(int section, F f) {
    const int start = kSectionStart[section];
    const int end = sectionEnd(section);
    for (int bar = 0; start + 4 * bar < end; ++bar) {
        const int first = start + 4 * bar;
        f(first, std::min(first + 4, end), bar);
    }
}

bool has(std::initializer_list<Section> list, int s) {
    return std::find(list.begin(), list.end(), static_cast<Section>(s)) != list.end();
}

// Where the pad filter sits: opening through the intro and the first breakdown, darker in the
// second breakdown, wide open in the finale, closing over the last chord.
double padCutoff(int64_t frame) {
    const double beat = frame / (kBeatSeconds * kSampleRate);
    const Section s = sectionOfBeat(beat);
    const double x =
        std::clamp((beat - kSectionStart[s]) / (sectionEnd(s) - kSectionStart[s]), 0.0, 1.0);
    switch (s) {
    case Intro:
        return 350.0 * std::pow(3200.0 / 350.0, x);
    case Breakdown:
        return 1200.0 * std::pow(4500.0 / 1200.0, x);
    case BreakdownTwo:
        return 700.0 * std::pow(2200.0 / 700.0, x);
    case Finale:
        return 6000.0;
    case Outro:
        return 5000.0 * std::pow(600.0 / 5000.0, x);
    default:
        return 3200.0;
    }
}

double arpCutoff(int64_t frame) {
    const double beat = frame / (kBeatSeconds * kSampleRate);
    const Section s = sectionOfBeat(beat);
    const double x =
        std::clamp((beat - kSectionStart[s]) / (sectionEnd(s) - kSectionStart[s]), 0.0, 1.0);
    switch (s) {
    case Intro:
        return 220.0 * std::pow(5000.0 / 220.0, x * x); // the arpeggio opening up
    case BreakdownTwo:
        return 900.0 + 1400.0 * x;
    default:
        return 4200.0;
    }
}

// The acid filter wanders up and down over eight bars.
double acidCutoff(int64_t frame) {
    const double beat = frame / (kBeatSeconds * kSampleRate) - kSectionStart[Drop];
    const double phase = beat / 32.0;
    return 180.0 + 900.0 * (0.5 - 0.5 * std::cos(kTwoPi * phase));
}

struct Buses {
    explicit Buses(size_t frames)
        : pads(frames), stabs(frames), arp(frames), lead(frames), bass(frames), drums(frames),
          snare(frames) {}
    Stereo pads, stabs, arp, lead, bass, drums, snare;
    std::vector<int64_t> kicks;
};

void renderPads(Buses& b) {
    const double level[kSections] = {0.9, 0.7, 0.6, 0.75, 0.6, 0.6, 0.65, 0.9};
    ChordShape pad;
    pad.release = 0.5;
    ChordShape stab;
    stab.voices = 5;
    stab.detuneCents = 14.0;
    stab.attack = 0.003;
    stab.release = 0.09;
    std::vector<Stereo> padSound;
    std::vector<Stereo> stabSound;
    for (const Chord& chord : kChords) {
        padSound.push_back(holdChord(chord.pad, pad, 4 * kBeatSeconds + 4 * pad.release));
        std::vector<int> high = chord.pad;
        for (int& n : high) {
            n += 12;
        }
        stabSound.push_back(holdChord(high, stab, 0.5));
    }
    for (int s = Intro; s < Outro; ++s) {
        forEachBar(s, [&](int first, int end, int bar) {
            ChordShape shape = pad;
            shape.attack = (s == Intro && bar == 0) ? 2.5 : 0.25; // the track fades in
            addChord(b.pads, frameOfBeat(first), frameOfBeat(end) - frameOfBeat(first),
                     padSound[bar % 4], level[s], shape);
            if (s == Finale) {
                // Offbeat stabs: short bright chords an octave up.
                for (int beat = first; beat < end; ++beat) {
                    addChord(b.stabs, frameOfBeat(beat + 0.5), frameOfBeat(0.22),
                             stabSound[bar % 4], 0.5, stab);
                }
            }
        });
    }
    // The last chord: A minor held for about five seconds and left to ring out.
    ChordShape last;
    last.attack = 0.01;
    last.release = 1.1;
    const Stereo finalChord = holdChord({45, 57, 60, 64, 69, 72, 76}, last, 10.0);
    addChord(b.pads, frameOfBeat(kSectionStart[Outro]), frameOfBeat(10.0), finalChord, 1.0, last);
    lowPassBus(b.pads, 0, static_cast<int64_t>(b.pads.frames()), 0.9, padCutoff);
    lowPassBus(b.stabs, 0, static_cast<int64_t>(b.stabs.frames()), 0.8,
               [](int64_t) { return 5200.0; });
}

void renderRest(Buses& b) {
    for (int s = Intro; s < Outro; ++s) {
        const bool kick = has({Groove, FullGroove, Drop, Finale}, s);
        const bool bass = has({Groove, FullGroove, Finale}, s);
        const bool groove = has({FullGroove, Drop, Finale}, s);
        const bool lead = has({FullGroove, Breakdown, Drop, Finale}, s);
        const bool arp = has({Intro, Groove, FullGroove, BreakdownTwo, Drop, Finale}, s);
        const double arpLevel =
            (s == Intro || s == Groove) ? 0.55 : (s == BreakdownTwo ? 0.45 : 0.35);
        std::vector<AcidStep> acid;
        forEachBar(s, [&](int first, int end, int bar) {
            const Chord& chord = kChords[bar % 4];
            for (int beat = first; beat < end; ++beat) {
                const int64_t at = frameOfBeat(beat);
                if (kick) {
                    addKick(b.drums, at, 0.55);
                    b.kicks.push_back(at);
                }
                if (bass) {
                    addBass(b.bass, frameOfBeat(beat + 0.5), frameOfBeat(0.36), chord.bass, 0.8);
                }
                if (groove && (beat - first) % 2 == 1) {
                    addSnare(b.snare, at, 0.8);
                }
                for (int sixteenth = 0; sixteenth < 4; ++sixteenth) {
                    const double when = beat + sixteenth * 0.25;
                    if (groove) {
                        const bool open = s != FullGroove && sixteenth == 2;
                        const double velocity[4] = {0.35, 0.2, 0.7, 0.25};
                        addHat(b.drums, frameOfBeat(when), open ? 0.22 : velocity[sixteenth] * 0.4,
                               open);
                    }
                    const int step = (beat - first) * 4 + sixteenth;
                    if (arp && !(s == Intro && bar < 2)) {
                        std::vector<int> tones = chord.pad;
                        for (int& t : tones) {
                            t += 12;
                        }
                        tones.push_back(chord.pad[1] + 24);
                        addPluck(b.arp, frameOfBeat(when), frameOfBeat(0.15),
                                 tones[kArpOrder[step % 16]], arpLevel, (step % 2) ? 0.35 : -0.35);
                    }
                    if (s == Drop) {
                        const AcidSlot& slot = kAcid[step % 16];
                        if (slot.on) {
                            acid.push_back({frameOfBeat(when), frameOfBeat(0.2),
                                            chord.acid + slot.offset, slot.accent, slot.slide});
                        }
                    }
                }
            }
            if (lead) {
                for (const Note& n : kMelody) {
                    if (n.bar != bar % 8 || first + n.beat >= end) {
                        continue;
                    }
                    const double length = std::min(n.length * 0.92, end - first - n.beat);
                    addLead(b.lead, frameOfBeat(first + n.beat), frameOfBeat(length), n.note, 0.5);
                    if (s == Finale) {
                        addLead(b.lead, frameOfBeat(first + n.beat), frameOfBeat(length),
                                n.note + 12, 0.22);
                    }
                }
            }
        });
        addAcidLine(b.bass, acid, 0.2, acidCutoff);

        // Transitions: a crash on each downbeat where the drums come in, a riser and a snare
        // roll over the beats before the big entrances.
        const int start = kSectionStart[s];
        if (has({Groove, FullGroove, Drop, Finale}, s)) {
            addCrash(b.drums, frameOfBeat(start), 0.14);
        }
        if (has({FullGroove, Drop, Finale}, s)) {
            addRiser(b.drums, frameOfBeat(start - 8), frameOfBeat(start), 0.09);
            for (int k = 0; k < 16; ++k) {
                const double when = start - 4 + k * 0.25;
                addSnare(b.snare, frameOfBeat(when), 0.15 + 0.45 * k / 15.0);
            }
        }
    }
    // The ending: one last kick, bass note and crash under the final chord.
    const int64_t end = frameOfBeat(kSectionStart[Outro]);
    addKick(b.drums, end, 0.55);
    b.kicks.push_back(end);
    addBass(b.bass, end, frameOfBeat(6.0), 45, 0.8);
    addCrash(b.drums, end, 0.18);
    lowPassBus(b.arp, 0, static_cast<int64_t>(b.arp.frames()), 1.8, arpCutoff);
}

// How far the kick pushes the other parts down (0..1), for side-chain pumping.
std::vector<float> kickEnvelope(const std::vector<int64_t>& kicks, size_t frames) {
    std::vector<float> env(frames, 0.0f);
    for (int64_t at : kicks) {
        for (int64_t n = 0; n < kSampleRate * 4 / 10; ++n) {
            const size_t i = static_cast<size_t>(at + n);
            if (i >= frames) {
                break;
            }
            const double t = static_cast<double>(n) / kSampleRate;
            const double e = std::min(1.0, t / 0.004) * std::exp(-t / 0.11);
            env[i] = std::max(env[i], static_cast<float>(e));
        }
    }
    return env;
}

// Side-chain: the part dips by depth x the kick envelope.
void duck(Stereo& part, const std::vector<float>& kickEnv, double depth) {
    for (size_t i = 0; i < part.frames(); ++i) {
        const auto g = static_cast<float>(1.0 - depth * kickEnv[i]);
        part.l[i] *= g;
        part.r[i] *= g;
    }
}
} // namespace

int64_t frameOfBeat(double beat) {
    return static_cast<int64_t>(std::llround(beat * kBeatSeconds * kSampleRate));
}

Stereo renderSong() {
    const auto frames = static_cast<size_t>(kTrackSeconds * kSampleRate);
    Buses b(frames);
    renderPads(b);
    renderRest(b);

    const std::vector<float> pump = kickEnvelope(b.kicks, frames);
    duck(b.pads, pump, 0.6);
    duck(b.stabs, pump, 0.5);
    duck(b.arp, pump, 0.45);
    duck(b.bass, pump, 0.75);
    duck(b.lead, pump, 0.2);

    // Echoes of the lead and the arpeggio, then one room for pads, lead, snare and echoes. The
    // send is turned into its effect in place, which keeps the memory (and its cost) down.
    Stereo send(frames);
    send.mixIn(b.lead, 0.35);
    send.mixIn(b.arp, 0.4);
    pingPongDelay(send, 0.75 * kBeatSeconds, 0.42, 3500.0);
    Stereo& mix = b.drums;
    mix.mixIn(send, 0.3);
    send.scale(0.3);
    send.mixIn(b.pads, 0.3);
    send.mixIn(b.lead, 0.35);
    send.mixIn(b.snare, 0.25);
    reverb(send, 0.78, 0.35);
    mix.mixIn(send, 2.5);

    mix.mixIn(b.bass, 1.3);
    mix.mixIn(b.pads, 0.35);
    mix.mixIn(b.stabs, 0.6);
    mix.mixIn(b.arp, 0.8);
    mix.mixIn(b.lead, 0.7);
    mix.mixIn(b.snare, 2.2);
    return std::move(mix);
}
