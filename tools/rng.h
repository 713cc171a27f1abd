#pragma once
// A small fixed-seed random generator (PCG32). The standard library's distributions differ
// between implementations; this one gives the same numbers everywhere, so the content is
// byte-for-byte reproducible.

#include <cstdint>

class Rng {
  public:
    explicit Rng(uint64_t seed) : state(seed * 6364136223846793005ull + 1442695040888963407ull) {}

    uint32_t next() {
        const uint64_t old = state;
        state = old * 6364136223846793005ull + 1442695040888963407ull;
        const uint32_t xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
        const uint32_t rot = static_cast<uint32_t>(old >> 59u);
        return (xorshifted >> rot) | (xorshifted << ((32 - rot) & 31));
    }

    // Uniform in [0, 1).
    float uniform() { return (next() >> 8) * (1.0f / 16777216.0f); }
    // Uniform in [lo, hi).
    float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }

  private:
    uint64_t state;
};
