#include "music/song.h"

#include "music/dsp.h"
#include "music/instruments.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
enum Section { Intro, Groove, FullGroove, Breakdown, Drop, BreakdownTwo, Finale, Outro, kSections };

// First beat of each section: the beats nearest the scene changes at 24, 44, 67, 83, 112 and
// 129 s, and the final chord at 160.3 s, after the finale's two rounds of the tune. The chord
// comes before the pictures end at 164 s so that it rings out while they still run: the music
// starts with the first frame, after start-up, so it trails the pictures by the start-up time,
// and a start-up of up to 3 s still leaves the chord heard. Each section counts its own bars
// from its first beat, so every section opens on a downbeat; the odd beats left at a section's
// end carry a fill.
const int kSectionStart[kSections] = {0, 51, 94, 143, 177, 239, 275, 342};

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

// The section a sample frame falls in, and how far through it (0 to 1) it is.
struct PlaceInSection {
    Section section;
    double progress;
};

PlaceInSection placeInSection(int64_t frame) {
    const double beat = frame / (kBeatSeconds * kSampleRate);
    const Section s = sectionOfBeat(beat);
    return {s,
            std::clamp((beat - kSectionStart[s]) / (sectionEnd(s) - kSectionStart[s]), 0.0, 1.0)};
}

// Where the pad filter sits: opening through the intro and the first breakdown, darker in the
// second breakdown, wide open in the finale, closing over the last chord.
double padCutoff(int64_t frame) {
    const auto [s, x] = placeInSection(frame);
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
    const auto [s, x] = placeInSection(frame);
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

// The kick: every beat of the four driving sections, and once more under the final chord.
std::vector<int64_t> kickFrames() {
    std::vector<int64_t> kicks;
    for (int s : {Groove, FullGroove, Drop, Finale}) {
        for (int beat = kSectionStart[s]; beat < sectionEnd(s); ++beat) {
            kicks.push_back(frameOfBeat(beat));
        }
    }
    kicks.push_back(frameOfBeat(kSectionStart[Outro]));
    return kicks;
}

// How far the kick pushes the other parts down (0..1), for side-chain pumping.
std::vector<float> kickEnvelope(const std::vector<int64_t>& kicks, size_t frames) {
    std::vector<float> env(frames, 0.0f);
    for (int64_t at : kicks) {
        for (int64_t n = 0; n < kSampleRate * 4 / 10 && static_cast<size_t>(at + n) < frames; ++n) {
            const double t = static_cast<double>(n) / kSampleRate;
            const double e = std::min(1.0, t / 0.004) * std::exp(-t / 0.11);
            env[at + n] = std::max(env[at + n], static_cast<float>(e));
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

// Seven-saw pads on every bar, then the long final chord, all through the pad filter.
void renderPads(Stereo& bus) {
    const double level[kSections] = {0.55, 0.6, 0.6, 0.5, 0.6, 0.6, 0.65, 0.9};
    ChordShape pad;
    pad.release = 0.5;
    std::vector<Stereo> sound;
    for (const Chord& chord : kChords) {
        sound.push_back(holdChord(chord.pad, pad, 4 * kBeatSeconds + 4 * pad.release));
    }
    for (int s = Intro; s < Outro; ++s) {
        forEachBar(s, [&](int first, int end, int bar) {
            ChordShape shape = pad;
            shape.attack = (s == Intro && bar == 0) ? 2.5 : 0.25; // the track fades in
            addChord(bus, frameOfBeat(first), frameOfBeat(end) - frameOfBeat(first), sound[bar % 4],
                     level[s], shape);
        });
    }
    // The last chord: A minor over a low A, held two bars and left to ring out slowly.
    ChordShape last;
    last.attack = 0.01;
    last.release = 2.2;
    const Stereo finalChord = holdChord({45, 57, 60, 64, 69, 72, 76}, last, 12.0);
    addChord(bus, frameOfBeat(kSectionStart[Outro]), frameOfBeat(8.0), finalChord, 0.8, last);
    lowPassBus(bus, 0, static_cast<int64_t>(bus.frames()), 0.9, padCutoff);
}

// Offbeat stabs in the finale: short bright chords an octave above the pads.
void renderStabs(Stereo& bus) {
    ChordShape stab;
    stab.voices = 5;
    stab.detuneCents = 14.0;
    stab.attack = 0.003;
    stab.release = 0.09;
    std::vector<Stereo> sound;
    for (const Chord& chord : kChords) {
        std::vector<int> high = chord.pad;
        for (int& n : high) {
            n += 12;
        }
        sound.push_back(holdChord(high, stab, 0.5));
    }
    forEachBar(Finale, [&](int first, int end, int bar) {
        for (int beat = first; beat < end; ++beat) {
            addChord(bus, frameOfBeat(beat + 0.5), frameOfBeat(0.22), sound[bar % 4], 0.5, stab);
        }
    });
    lowPassBus(bus, 0, static_cast<int64_t>(bus.frames()), 0.8, [](int64_t) { return 5200.0; });
}

// Sixteenth-note arpeggio over the chord tones; it opens up through the intro.
void renderArp(Stereo& bus) {
    for (int s : {Intro, Groove, FullGroove, Drop, BreakdownTwo, Finale}) {
        const double level = (s == Intro || s == Groove) ? 0.55 : (s == BreakdownTwo ? 0.45 : 0.35);
        forEachBar(s, [&](int first, int end, int bar) {
            if (s == Intro && bar < 2) {
                return; // the pads alone for the first two bars
            }
            std::vector<int> tones = kChords[bar % 4].pad;
            for (int& t : tones) {
                t += 12;
            }
            tones.push_back(kChords[bar % 4].pad[1] + 24);
            for (int step = 0; step < (end - first) * 4; ++step) {
                addPluck(bus, frameOfBeat(first + step * 0.25), frameOfBeat(0.15),
                         tones[kArpOrder[step % 16]], level, (step % 2) ? 0.35 : -0.35);
            }
        });
    }
    lowPassBus(bus, 0, static_cast<int64_t>(bus.frames()), 1.8, arpCutoff);
}

// The eight-bar tune, doubled an octave up in the finale.
void renderLead(Stereo& bus) {
    for (int s : {FullGroove, Breakdown, Drop, Finale}) {
        forEachBar(s, [&](int first, int end, int bar) {
            for (const Note& n : kMelody) {
                if (n.bar != bar % 8 || first + n.beat >= end) {
                    continue;
                }
                const double length = std::min(n.length * 0.92, end - first - n.beat);
                const int64_t at = frameOfBeat(first + n.beat);
                addLead(bus, at, frameOfBeat(length), n.note, 0.5);
                if (s == Finale) {
                    addLead(bus, at, frameOfBeat(length), n.note + 12, 0.22);
                }
            }
        });
    }
}

// Offbeat root notes, the acid line in the drop, and a low A under the final chord.
void renderBass(Stereo& bus) {
    for (int s : {Groove, FullGroove, Finale}) {
        forEachBar(s, [&](int first, int end, int bar) {
            for (int beat = first; beat < end; ++beat) {
                addBass(bus, frameOfBeat(beat + 0.5), frameOfBeat(0.36), kChords[bar % 4].bass,
                        0.8);
            }
        });
    }
    std::vector<AcidStep> acid;
    forEachBar(Drop, [&](int first, int end, int bar) {
        for (int step = 0; step < (end - first) * 4; ++step) {
            const AcidSlot& slot = kAcid[step % 16];
            if (slot.on) {
                acid.push_back({frameOfBeat(first + step * 0.25), frameOfBeat(0.2),
                                kChords[bar % 4].acid + slot.offset, slot.accent, slot.slide});
            }
        }
    });
    addAcidLine(bus, acid, 0.2, acidCutoff);
    addBass(bus, frameOfBeat(kSectionStart[Outro]), frameOfBeat(6.0), 45, 0.8);
}

// Snare on two and four in the grooves, and a rising roll into each big entrance.
void renderSnare(Stereo& bus) {
    for (int s : {FullGroove, Drop, Finale}) {
        forEachBar(s, [&](int first, int end, int) {
            for (int beat = first + 1; beat < end; beat += 2) {
                addSnare(bus, frameOfBeat(beat), 0.8);
            }
        });
        for (int k = 0; k < 16; ++k) {
            addSnare(bus, frameOfBeat(kSectionStart[s] - 4 + k * 0.25), 0.15 + 0.45 * k / 15.0);
        }
    }
}

// Kick, hats, crashes on the downbeats where the drums come in, risers before the big ones.
void renderDrums(Stereo& bus, const std::vector<int64_t>& kicks) {
    for (int64_t at : kicks) {
        addKick(bus, at, 0.55);
    }
    const double velocity[4] = {0.35, 0.2, 0.7, 0.25};
    for (int s : {FullGroove, Drop, Finale}) {
        for (int beat = kSectionStart[s]; beat < sectionEnd(s); ++beat) {
            for (int sixteenth = 0; sixteenth < 4; ++sixteenth) {
                // Open hats on the offbeats once the groove is fully in.
                const bool open = s != FullGroove && sixteenth == 2;
                addHat(bus, frameOfBeat(beat + sixteenth * 0.25),
                       open ? 0.22 : velocity[sixteenth] * 0.4, open);
            }
        }
        addRiser(bus, frameOfBeat(kSectionStart[s] - 8), frameOfBeat(kSectionStart[s]), 0.09);
    }
    for (int s : {Groove, FullGroove, Drop, Finale}) {
        addCrash(bus, frameOfBeat(kSectionStart[s]), 0.14);
    }
    addCrash(bus, frameOfBeat(kSectionStart[Outro]), 0.18);
}
} // namespace

int64_t frameOfBeat(double beat) {
    return static_cast<int64_t>(std::llround(beat * kBeatSeconds * kSampleRate));
}

Stereo renderSong() {
    const auto frames = static_cast<size_t>(kTrackSeconds * kSampleRate);
    const std::vector<int64_t> kicks = kickFrames();
    const std::vector<float> pump = kickEnvelope(kicks, frames);

    // Each part renders into one scratch bus, is side-chained to the kick and mixed into the
    // track and the effect sends; so the memory held is a few buses, not one per part.
    Stereo mix(frames);
    Stereo echoSend(frames);
    Stereo roomSend(frames);
    Stereo part(frames);
    auto render = [&](auto renderPart, double duckDepth) {
        part.clear();
        renderPart(part);
        if (duckDepth > 0.0) {
            duck(part, pump, duckDepth);
        }
    };

    render(renderLead, 0.2);
    mix.mixIn(part, 0.7);
    echoSend.mixIn(part, 0.35);
    roomSend.mixIn(part, 0.35);
    render(renderArp, 0.45);
    mix.mixIn(part, 0.8);
    echoSend.mixIn(part, 0.4);
    // Dotted-eighth echoes, heard directly and in the room.
    pingPongDelay(echoSend, 0.75 * kBeatSeconds, 0.42, 3500.0);
    mix.mixIn(echoSend, 0.3);
    roomSend.mixIn(echoSend, 0.3);

    render(renderPads, 0.6);
    mix.mixIn(part, 0.35);
    roomSend.mixIn(part, 0.3);
    render(renderStabs, 0.5);
    mix.mixIn(part, 0.6);
    render(renderBass, 0.75);
    mix.mixIn(part, 1.3);
    render(renderSnare, 0.0);
    mix.mixIn(part, 2.2);
    roomSend.mixIn(part, 0.25);
    render([&kicks](Stereo& bus) { renderDrums(bus, kicks); }, 0.0);
    mix.mixIn(part, 1.0);

    reverb(roomSend, 0.78, 0.35);
    mix.mixIn(roomSend, 2.5);
    return mix;
}
