// The demo's own random numbers: one seeded 15-bit generator that every draw shares.
#include "fluid/random.h"

namespace {
// A 32-bit linear congruential generator; the upper bits of the state give 15 bits
// per draw, so every value 0..32767 occurs.
std::uint32_t randomState = 1;
}  // namespace

void seedRandom(std::uint32_t seed) { randomState = seed; }
std::uint32_t randomGeneratorState() { return randomState; }

int rand15() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7fffu);
}

int randPick(int n) {
    if (n <= 0) return 0;
    const auto v = static_cast<std::int64_t>(rand15());
    const auto k = static_cast<int>(v * n / kRand15Max);
    return k >= n ? n - 1 : k;
}
