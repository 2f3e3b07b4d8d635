#pragma once
// The game's random numbers: a 15-bit linear congruential generator per client
// (state = state * 214013 + 2531011; result = (state >> 16) & 0x7FFF), so that every draw can be
// reproduced from its seed.

#include <cstdint>

namespace core {

struct Rand15 {
    uint32_t state = 1;

    void Seed(uint32_t seed) { state = seed; }
    // 0 .. 32767
    int Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFFu);
    }
    // Next() / 32767 as the game divides it: 0.0 .. 1.0 inclusive.
    float NextUnit() { return static_cast<float>(Next()) / 32767.0f; }
};

}  // namespace core
