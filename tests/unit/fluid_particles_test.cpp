#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "base/cue_times.h"
#include "base/random.h"
#include "testing/fluid_support.h"

namespace {

void fillFlow(float vx, float vy) {
    std::fill(std::begin(fluidGrid.velocityX), std::end(fluidGrid.velocityX), vx);
    std::fill(std::begin(fluidGrid.velocityY), std::end(fluidGrid.velocityY), vy);
}

TEST(Particles, SamplesCellsInterpolatesAndWrapsTheUpperNeighbour) {
    fluidtest::SavedFluidState saved;
    float* field = fluidGrid.velocityX;  // 100 x + y at cell (x, y): every sample says where it came from
    for (int cell = 0; cell < kCellCount; ++cell) field[cell] = static_cast<float>(cell % 50 * 100 + cell / 50);
    EXPECT_FLOAT_EQ(sampleBilinear(field, 10.5f, 20.25f), 1050.0f + 20.25f);
    // x = 1 lies on column 49 whose right neighbour wraps to column 0; just beyond it the
    // difference of the two is -49, so the weights run the other way.
    EXPECT_EQ(sampleBilinear(field, 49.0f, 3.0f), 4903.0f);
    const float r = (49.49f - 49.0f) / -49.0f;
    EXPECT_FLOAT_EQ(sampleBilinear(field, 49.49f, 3.0f), (1.0f - r) * 4903.0f + r * 3.0f);
    // Far outside, trunc(g + 50) = 173 or -73 is wrapped by a true modulo.
    EXPECT_EQ(std::pair(latticeSpan(123.4f).c0, latticeSpan(-123.0f).c0), std::pair(23, 27));
    for (float g : {-1.0e30f, -50.5f, -0.25f, 1.0e9f, 3.0e38f, INFINITY, -INFINITY, NAN}) {
        const LatticeSpan span = latticeSpan(g);
        EXPECT_TRUE(span.c0 >= 0 && span.c0 < kGridSize && span.c1 >= 0 && span.c1 < kGridSize) << g;
    }
}

// One particle, one step of 1 s on a uniform flow: the phases at their boundary times. (The
// phases between them, squeeze, pull, damping and exits, particle for particle against a plain
// loop: ParticlesExact.)
TEST(Particles, OneParticleThroughThePhases) {
    fluidtest::SavedFluidState saved;
    seedRandom(1);
    const float u1 = randUnit(), u2 = randUnit();
    const ParticlePosition shaken = {0.5f + (0.5f - u1) * -0.9f * 0.005f, 0.5f + (0.5f - u2) * 0.001f};
    // From a place, with a flow, to a place, drawing or not.
    struct Case {
        const char* what;
        float t;
        ParticlePosition from;
        float vx, vy;
        ParticlePosition to;
        bool draws;
        bool solid = false;
    };
    const Case cases[] = {
        {"still free and squeezed as the credits go", kCreditsOut, {0.3f, 0.8f}, 0, 0, {0.3f, 0.8f - 0.0027f}, false},
        {"tremor not yet", kTremorStart, {0.5f, 0.5f}, 0, 0, {0.5f, 0.5f}, false},
        {"tremor", kTremorStart + 0.1f, {0.5f, 0.5f}, 0, 0, shaken, true},
        {"tremor over", kTremorEnd, {0.5f, 0.5f}, 0, 0, {0.5f, 0.5f}, false},
        {"wrap only, no draw", kWrapStart + 4.5f, {0.95f, 0.5f}, 0.1f, 0, {0.05f, 0.5f}, false},
        {"no fluid cell to respawn in", 100.0f, {-0.1f, 0.5f}, 0, 0, {-0.1f, 0.5f}, true, true},
    };
    particles.particleCount = 1;
    particles.respawnChance = 1.0f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fillFlow(c.vx, c.vy);
        std::fill(std::begin(fluidGrid.obstacle), std::end(fluidGrid.obstacle), c.solid);
        particles.particlePositions[0] = c.from;
        seedRandom(1);
        advanceParticles(1.0f, c.t > kCreditsIn, c.t);
        EXPECT_NEAR(particles.particlePositions[0].x, c.to.x, 1e-6f);
        EXPECT_NEAR(particles.particlePositions[0].y, c.to.y, 1e-6f);
        const int next = rand15();
        seedRandom(1);
        EXPECT_EQ(next != rand15(), c.draws);
    }
    // Otherwise a sideways exit respawns, never in a solid cell: here all but a cross is solid.
    fillFlow(0.0f, 0.0f);
    for (int cell = 0; cell < kCellCount; ++cell) fluidGrid.obstacle[cell] = cell / 50 != 10 && cell % 50 != 33;
    for (int n = 0; n < 2000; ++n) {
        particles.particlePositions[0] = {-0.1f, 0.5f};
        advanceParticles(0.0f, false, 100.0f);
        const auto [x, y] = particles.particlePositions[0];
        ASSERT_EQ(fluidGrid.obstacle[cellIndex(latticeSpan(49.0f * x).c0, latticeSpan(49.0f * y).c0)], 0)
            << x << ' ' << y;
    }
}

TEST(Particles, SizeBands) {
    struct Case {
        int i, count, layers;
        float minPar, maxPar;
        int height, first, length;
        float size;
    };
    const float band1 = 18.0f / 19.0f + 6.0f / 19.0f;
    const Case cases[] = {
        {1, 100000, 20, 1, 6, 1080, 5000, 5000, band1 * 0.75f},  // band 0 is never drawn
        {19, 100000, 20, 1, 6, 1080, 95000, 5000, 6.0f * 0.75f},
        {19, 99999, 20, 1, 6, 720, 94981, 4999, 6.0f * 0.5f},  // particles 99980.. are not drawn
        {1, 300, 3, 2, 4, 1440, 100, 100, 3.0f},
        {1, 250000, 20, 1, 6, 720, 5000, 5000, band1 * 0.5f},  // never past the array
        {0, -7, 20, 1, 6, 720, 0, 0, 0.5f},
        {0, 100000, 1, 1, 6, 720, 0, 0, 0.5f},  // nothing drawn
        {0, 100000, -3, 1, 6, 720, 0, 0, 0.5f},
        {0, 10, 1000, 1, 6, 720, 0, 0, 0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "band " << c.i << " of " << c.count << " in " << c.layers);
        const ParticleBand band = particleBand(c.i, c.count, c.layers, c.minPar, c.maxPar, c.height);
        EXPECT_EQ(particleBandLength(c.count, c.layers), c.length);
        EXPECT_EQ(band.first, c.first);
        EXPECT_EQ(band.count, c.length);
        EXPECT_FLOAT_EQ(band.pointSize, c.size);
    }
}

// Frozen on purpose: the loop as it was before it was split into blocks, to hold the blocks
// of eight to it bit for bit, the generator's draws included.
// A particle that leaves the square (wraps or respawns) is marked in `jumped`.
void referenceAdvance(std::vector<ParticlePosition>& positions, std::vector<std::uint8_t>& jumped, float dt, bool late,
                      float t) {
    const int count = std::min(particles.particleCount, kMaxParticles);
    const float squeeze = std::min((t - kCreditsIn) / 15.0f, 1.0f);
    const float pull = std::min((t - kCreditsOut) / 34.0f, 1.0f);
    const float damp = std::min((t - kDampingStart) / 14.0f, 1.0f);
    auto sideways = [&](float& x, float& y, float by) {  // wrap, or by chance respawn
        if ((t > kWrapStart && t < kWrapEnd) || !(randUnit() <= particles.respawnChance) || late) {
            x += by;
        } else {
            respawnParticle(x, y);
        }
    };
    for (int i = 0; i < count; ++i) {
        auto& [x, y] = positions[static_cast<std::size_t>(i)];
        const float s = dt + static_cast<float>(i) * dt / static_cast<float>(count);
        float vx = sampleBilinear(fluidGrid.velocityX, 49.0f * x, 49.0f * y);
        float vy = sampleBilinear(fluidGrid.velocityY, 49.0f * x, 49.0f * y);
        if (t <= kCreditsOut) {
            x += s * vx;
            y += s * vy;
            if (t > kTremorStart && t < kTremorEnd) {
                x += (0.5f - randUnit()) * ((t - kTremorFaded) * 0.005f);
                y += (0.5f - randUnit()) * 0.001f;
            }
            if (late) y -= s * 0.009f * squeeze * (y - 0.5f);
        } else {
            const float column = static_cast<float>(kLogoWidth) * x, row = static_cast<float>(kLogoHeight) * (1.0f - y);
            if (t > kDampingStart &&
                logoPixel(column >= 0.0f ? static_cast<int>(std::min(column, kLogoWidth - 1.0f)) : 0,
                          row >= 0.0f ? static_cast<int>(std::min(row, kLogoHeight - 1.0f)) : 0) == 0) {
                vx *= 1.0f - 0.65f * damp;
                vy *= 1.0f - 0.55f * damp;
            }
            const ParticlePosition target = particleMap.particleTargets[static_cast<std::size_t>(i)];
            x = x + s * vx * (1.0f - pull) - 0.14f * s * s * pull * (x - target.x);
            y = y + s * vy * (1.0f - pull) - 0.085f * s * s * pull * (y - target.y);
        }
        if (x < 0.0f || y < 0.0f || x > 1.0f || y > 1.0f) jumped[static_cast<std::size_t>(i)] = 1;
        if (x < 0.0f) sideways(x, y, 1.0f);
        if (y < 0.0f) y += 1.0f;
        if (x > 1.0f) sideways(x, y, -1.0f);
        if (y > 1.0f) y -= 1.0f;
    }
}

// Positions the blocks must hand to the one-at-a-time path, over block starts and other
// indices, and floats at or just below k / 49 whose two lattice neighbours are not one apart.
void plantOddPositions() {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const ParticlePosition odd[] = {
        {-0.5f, 0.5f},  {1.7f, -2.0f},   {nan, 0.3f},        {0.2f, nan},         {1.0e20f, 0.5f},
        {0.5f, -inf},   {1.0f, 1.0f},    {0.0f, 0.0f},       {-0.0f, 1.0f},       {std::nextafter(1.0f, 0.0f), 0.5f},
        {-1.02f, 0.4f}, {1.0201f, 0.6f}, {0.3f, -1.0203f},   {-3.0e9f, -7.0e12f}, {0.999f, 0.001f},
        {-0.01f, 0.5f}, {0.5f, -0.015f}, {-0.002f, -0.003f},  // the upper neighbour wraps to cell 0
    };
    for (std::size_t n = 0; n < std::size(odd); ++n) {
        particles.particlePositions[3 * n] = particles.particlePositions[3 * n + 37] =
            particles.particlePositions[3 * n + 4099] = odd[n];
    }
    std::size_t edge = 200;
    for (int k = 1; k < 49; ++k) {
        float x = static_cast<float>(k) / 49.0f;
        for (int step = 0; step < 8; ++step, x = std::nextafter(x, 0.0f)) {
            const int apart = latticeSpan(49.0f * x).c1 - latticeSpan(49.0f * x).c0;
            if (apart == 1 || apart == 1 - kGridSize) continue;
            particles.particlePositions[edge++] = {x, 0.5f};
            particles.particlePositions[edge++] = {0.5f, x};
            particles.particlePositions[edge++] = {x, x};
            break;
        }
    }
    ASSERT_GT(edge, 200u) << "no cell edge found where rounding splits the neighbours";
}

// Runs both from the same positions and generator state, comparing after each frame: the
// positions and the particles marked as jumped.
void expectSameFrames(float t, int frames) {
    std::vector<ParticlePosition> expected(particles.particlePositions.begin(), particles.particlePositions.end());
    std::vector<std::uint8_t> expectedJumped(kMaxParticles);
    for (int frame = 0; frame < frames; ++frame) {
        std::fill(expectedJumped.begin(), expectedJumped.end(), 0);
        particles.particleJumped.fill(0);
        const float now = t + 0.01f * static_cast<float>(frame);
        const float dt = frame % 2 == 0 ? 0.1875f : 0.03125f;
        const std::uint32_t seed = 1000u + static_cast<std::uint32_t>(frame) * 77u;
        seedRandom(seed);
        referenceAdvance(expected, expectedJumped, dt, t > kCreditsIn, now);
        const int expectedNext = rand15();
        seedRandom(seed);
        advanceParticles(dt, t > kCreditsIn, now);
        ASSERT_EQ(expectedNext, rand15()) << "draws differ at t = " << now;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(std::memcmp(&expected[i], &particles.particlePositions[i], sizeof(ParticlePosition)), 0)
                << "t = " << now << ", frame " << frame << ", particle " << i;
        }
        ASSERT_TRUE(std::equal(expectedJumped.begin(), expectedJumped.end(), particles.particleJumped.begin()))
            << "jumps marked differently at t = " << now;
    }
}

// Wild throws particles far outside the square in one step. At (0, -0) the upper row's weights are -0,
// so a flow of -0 in the bottom row samples to -0: y stays -0, not below zero, and must not become +0.
enum class Lattice { Calm, Blocks, AllSolid, Wild, NegativeZero };

TEST(ParticlesExact, BlocksMatchOneAtATime) {
    fluidtest::SavedFluidState saved;
    struct Case {
        int count;
        float chance;
        Lattice lattice;
        bool oddPositions;
        int frames;
    };
    const Case cases[] = {
        {kMaxParticles, 0.25f, Lattice::Calm, true, 3},
        {kMaxParticles, 1.0f, Lattice::Calm, true, 3},
        {kMaxParticles + 123, 0.0f, Lattice::Calm, true, 2},  // a count above the array
        {0, 0.5f, Lattice::Calm, false, 2},
        {7, 0.5f, Lattice::Calm, false, 8},
        {9, 0.5f, Lattice::Calm, false, 8},
        {17, 0.5f, Lattice::Calm, false, 8},
        {1003, 0.5f, Lattice::Calm, false, 8},
        {4321, 1.0f, Lattice::Blocks, true, 6},
        {300, 1.0f, Lattice::AllSolid, true, 2},
        {2000, 0.25f, Lattice::Wild, false, 4},
        {64, 0.25f, Lattice::NegativeZero, false, 2},
    };
    for (const Case& c : cases) {
        // A moment in each stretch of the advance: respawns, the wrap, the tremor, the blob
        // section, the squeeze, the pull into the logo and the damping.
        for (float t : {kIntroEnd + 4.5f, kWrapStart + 4.5f, kTremorStart + 0.1f, kWallStart - 10.0f, kCreditsIn + 5.0f,
                        kCreditsOut + 5.0f, kDampingStart + 10.0f}) {
            SCOPED_TRACE(testing::Message()
                         << "count " << c.count << ", lattice " << static_cast<int>(c.lattice) << ", t = " << t);
            seedRandom(static_cast<std::uint32_t>(t * 10.0f) + static_cast<std::uint32_t>(c.count));
            const float v = c.lattice == Lattice::Wild ? 40.0f : 0.15f;
            for (int cell = 0; cell < kCellCount; ++cell) {
                const int x = cell % kGridSize, y = cell / kGridSize;
                const bool block = (x >= 12 && x < 35 && y >= 10 && y < 30) || x == 0;
                fluidGrid.velocityX[cell] = v * (2.0f * randUnit() - 1.0f);
                fluidGrid.velocityY[cell] = v * (2.0f * randUnit() - 1.0f);
                fluidGrid.obstacle[cell] = c.lattice == Lattice::AllSolid || (c.lattice == Lattice::Blocks && block);
            }
            if (c.lattice == Lattice::Wild) {
                fluidGrid.velocityX[cellIndex(5, 5)] = INFINITY;
                fluidGrid.velocityY[cellIndex(6, 5)] = NAN;
            }
            for (auto& target : particleMap.particleTargets) target = {randUnit(), randUnit()};
            for (auto& pixel : particleMap.logoPixels) pixel = randUnit() < 0.5f ? 0 : 255;
            for (auto& p : particles.particlePositions) p = {randUnit(), randUnit()};
            if (c.lattice == Lattice::NegativeZero) {
                fillFlow(0.0f, 0.0f);
                for (int x = 0; x < kGridSize; ++x) fluidGrid.velocityY[cellIndex(x, 0)] = -0.0f;
                std::fill_n(particles.particlePositions.begin(), 64, ParticlePosition{0.0f, -0.0f});
            }
            if (c.oddPositions) plantOddPositions();
            particles.particleCount = c.count;
            particles.respawnChance = c.chance;
            expectSameFrames(t, c.frames);
            EXPECT_TRUE(c.lattice != Lattice::NegativeZero || t != 30.0f ||
                        std::signbit(particles.particlePositions[9].y));
        }
    }
}

}  // namespace
