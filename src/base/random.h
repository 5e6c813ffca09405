// The demo's random numbers: uniform integers 0..32767 from seeded generators, so that
// every run draws the same sequence. The simulation shares one generator; drawing code
// that wants random picks of its own seeds a RandomGenerator, leaving the shared one alone.
#pragma once

#include <cstdint>

inline constexpr int kRand15Max = 32767;

// A 32-bit linear congruential generator; the upper bits of the state give 15 bits per
// draw, so every value 0..32767 occurs.
struct RandomGenerator {
    std::uint32_t state = 1;

    int next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7fffu);
    }
    // next() / 32767 as a float in [0, 1], both ends reachable.
    float unit() { return static_cast<float>(next()) / static_cast<float>(kRand15Max); }
    // A pick among n items: next() * n / 32767 truncated without overflow, n - 1 where
    // that gives n. Always in [0, n) for n >= 1.
    int pick(int n);
};

// The shared generator of the simulation.
void seedRandom(std::uint32_t seed);
// The generator's state; seedRandom(state) puts it back.
std::uint32_t randomGeneratorState();
int rand15();
float randUnit();
int randPick(int n);
