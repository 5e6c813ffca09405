// The one random generator of the demo: uniform integers 0..32767, seeded with fixed
// seeds so that every run draws the same sequence.
#pragma once

#include <cstdint>

inline constexpr int kRand15Max = 32767;

void seedRandom(std::uint32_t seed);
// The generator's state; seedRandom(state) puts it back.
std::uint32_t randomGeneratorState();
int rand15();
// rand15() / 32767 as a float in [0, 1], both ends reachable.
inline float randUnit() { return static_cast<float>(rand15()) / static_cast<float>(kRand15Max); }
// A pick among n items: rand15() * n / 32767 truncated without overflow, n - 1 where
// that gives n. Always in [0, n) for n >= 1.
int randPick(int n);
