#pragma once
// The instruments of the track. Each adds one note or hit into a stereo bus, starting at a
// frame; levels are about unit peak at gain 1 and are balanced by the arrangement. Noise is
// seeded from the start frame, so a hit sounds the same whatever order the parts render in.

#include "music/stereo.h"

#include <cstdint>
#include <functional>
#include <vector>

// Drums.
void addKick(Stereo& bus, int64_t at, double gain);
void addSnare(Stereo& bus, int64_t at, double gain);
void addHat(Stereo& bus, int64_t at, double gain, bool open);
void addCrash(Stereo& bus, int64_t at, double gain);
// Noise swept upwards from `from` to `to`, growing louder: the lift into a new section.
void addRiser(Stereo& bus, int64_t from, int64_t to, double gain);

// A chord of detuned sawtooth stacks (`voices` saws per note, spread across the stereo field).
// holdChord renders the chord's sustained sound once; addChord plays it into a bus under an
// envelope, with a slow attack and release for pads or a snappy one for stabs. Every bar of
// the same chord reuses one rendering, which keeps the seven-saw pads cheap.
struct ChordShape {
    int voices = 7;
    double detuneCents = 18.0;
    double attack = 0.35;
    double release = 0.9;
};
Stereo holdChord(const std::vector<int>& notes, const ChordShape& shape, double seconds);
void addChord(Stereo& bus, int64_t at, int64_t length, const Stereo& held, double gain,
              const ChordShape& shape);

// A short plucked saw-and-square note, for the arpeggio.
void addPluck(Stereo& bus, int64_t at, int64_t length, int note, double gain, double pan);

// The lead: two detuned saws and a square an octave down through an enveloped low-pass, with
// delayed vibrato.
void addLead(Stereo& bus, int64_t at, int64_t length, int note, double gain);

// A round bass note: saw through a closing low-pass over a sine at the fundamental.
void addBass(Stereo& bus, int64_t at, int64_t length, int note, double gain);

// One sixteenth of the acid line.
struct AcidStep {
    int64_t at;
    int64_t length;
    int note;
    bool accent;
    bool slide; // glide into the next step instead of retriggering
};
// The acid bass: one resonant, distorted monophonic voice over the given steps; `cutoff` gives
// the filter's resting frequency at a frame, so the arrangement can sweep it.
void addAcidLine(Stereo& bus, const std::vector<AcidStep>& steps, double gain,
                 const std::function<double(int64_t)>& cutoff);

// Low-passes a bus over [from, to) with a cutoff that follows a curve (retuned every 32 frames).
void lowPassBus(Stereo& bus, int64_t from, int64_t to, double q,
                const std::function<double(int64_t)>& cutoff);
