#pragma once
// A stereo track in memory (32-bit float, 44.1 kHz) and the effects that run over whole tracks:
// gain curves, a ping-pong delay and a small reverb.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <sys/mman.h>
#include <vector>

// Allocates track buffers on 2 MB pages where the system allows it. A track is a few hundred
// megabytes of buffers; with 4 KB pages, faulting them in costs a good part of the run.
template <class T> struct BigBufferAllocator {
    using value_type = T;
    BigBufferAllocator() = default;
    template <class U> BigBufferAllocator(const BigBufferAllocator<U>&) {}
    T* allocate(size_t n) {
        const size_t page = size_t{2} << 20;
        const size_t bytes = (n * sizeof(T) + page - 1) / page * page;
        void* p = std::aligned_alloc(page, bytes);
        if (p == nullptr) {
            throw std::bad_alloc();
        }
        madvise(p, bytes, MADV_HUGEPAGE); // a hint; without it the buffer just uses small pages
        return static_cast<T*>(p);
    }
    void deallocate(T* p, size_t) { std::free(p); }
    bool operator==(const BigBufferAllocator&) const { return true; }
    bool operator!=(const BigBufferAllocator&) const { return false; }
};
using Samples = std::vector<float, BigBufferAllocator<float>>;

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
