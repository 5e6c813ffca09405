// The picture generator's own random numbers: a small seeded generator (splitmix64) and
// a stateless lattice hash, so that every picture comes out byte for byte the same on
// every run, independent of the demo's rand15 sequence.
#pragma once

#include <cstdint>

struct ArtRandom {
    std::uint64_t state;
};

inline std::uint64_t nextRandomBits(ArtRandom& random) {
    std::uint64_t z = (random.state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Uniform in [0, 1).
inline float randomUnit(ArtRandom& random) {
    return static_cast<float>(nextRandomBits(random) >> 40) * (1.0f / 16777216.0f);
}

inline float randomRange(ArtRandom& random, float low, float high) { return low + (high - low) * randomUnit(random); }

// Hash of a lattice point to [0, 1): the basis of the value noise and the dither.
inline float hashUnit(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^ static_cast<std::uint32_t>(y) * 0xD8163841u ^
                      seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return static_cast<float>(h >> 8) * (1.0f / 16777216.0f);
}
