// The seeded generators: the shared one of the simulation and the pick of n items.
#include "base/random.h"

namespace {
RandomGenerator sharedGenerator;
}  // namespace

int RandomGenerator::pick(int n) {
    if (n <= 0) return 0;
    const auto v = static_cast<std::int64_t>(next());
    const auto k = static_cast<int>(v * n / kRand15Max);
    return k >= n ? n - 1 : k;
}

void seedRandom(std::uint32_t seed) { sharedGenerator.state = seed; }
std::uint32_t randomGeneratorState() { return sharedGenerator.state; }
int rand15() { return sharedGenerator.next(); }
float randUnit() { return sharedGenerator.unit(); }
int randPick(int n) { return sharedGenerator.pick(n); }
