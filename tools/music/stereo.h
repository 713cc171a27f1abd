#pragma once
// A stereo track in memory (32-bit float, 44.1 kHz) and the effects that run over whole tracks:
// gain curves, a ping-pong delay and a small reverb.

#include "big_buffer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using Samples = BigVector<float>;

struct Stereo {
    explicit Stereo(size_t frames) : l(frames, 0.0f), r(frames, 0.0f) {}
    size_t frames() const { return l.size(); }
    // Adds sample i of both channels, ignoring frames past the end.
    void add(int64_t i, double left, double right) {
        if (i >= 0 && static_cast<size_t>(i) < l.size()) {
            l[i] += static_cast<float>(left);
            r[i] += static_cast<float>(right);
        }
    }
    void mixIn(const Stereo& other, double gain);
    void clear();

    Samples l;
    Samples r;
};

// Replaces the track by its echoes, alternating between the channels, each repeat darker.
void pingPongDelay(Stereo& track, double delaySeconds, double feedback, double dampingHz);

// Replaces the track by its reverberation in a small room: parallel damped combs into series
// all-passes (the Schroeder-Moorer layout), slightly different per channel for width.
void reverb(Stereo& track, double roomSize, double damping);
