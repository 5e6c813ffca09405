// advanceParticles against a plain one-particle-at-a-time copy of its algorithm: the
// positions must match bit for bit and the generator must end in the same place, for
// every phase, count, chance and kind of position (outside the square, NaN, on a cell
// edge where rounding puts the two neighbouring columns apart by other than 1).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "fluid/random.h"
#include "testing/fluid_support.h"

namespace {

// ---- The reference: the loop as it was before it was split into blocks. ----

int refLatticeCell(float shifted) {
    if (shifted >= 0.0f && shifted < 100.0f) {
        const int whole = static_cast<int>(shifted);
        return whole >= kGridSize ? whole - kGridSize : whole;
    }
    if (shifted >= 0.0f && shifted < 1.0e9f) return static_cast<int>(shifted) % kGridSize;
    if (!(shifted == shifted)) return 0;
    const double whole = std::trunc(static_cast<double>(shifted));
    double wrapped = std::fmod(whole, static_cast<double>(kGridSize));
    if (wrapped < 0.0) wrapped += kGridSize;
    return std::clamp(static_cast<int>(wrapped), 0, kGridSize - 1);
}

LatticeSpan refSpanOf(float g) {
    return {refLatticeCell(g + static_cast<float>(kGridSize)), refLatticeCell(g + static_cast<float>(kGridSize + 1))};
}

float refSpanFraction(float g, const LatticeSpan& span) {
    const int difference = span.c1 - span.c0;
    const float offset = g - static_cast<float>(span.c0);
    return difference == 1 ? offset : offset / static_cast<float>(difference);
}

struct RefWeights {
    int i00, i10, i11, i01;
    float w00, w10, w11, w01;
};

RefWeights refWeights(float gx, float gy) {
    const LatticeSpan sx = refSpanOf(gx);
    const LatticeSpan sy = refSpanOf(gy);
    const float r = refSpanFraction(gx, sx);
    const float q = refSpanFraction(gy, sy);
    return {cellIndex(sx.c0, sy.c0), cellIndex(sx.c1, sy.c0), cellIndex(sx.c1, sy.c1), cellIndex(sx.c0, sy.c1),
            (1.0f - r) * (1.0f - q),   r * (1.0f - q),           r * q,                    (1.0f - r) * q};
}

float refInterpolate(const float* field, const RefWeights& w) {
    return w.w00 * field[w.i00] + w.w10 * field[w.i10] + w.w11 * field[w.i11] + w.w01 * field[w.i01];
}

int refLogoPixelUnder(float x, float y) {
    float column = static_cast<float>(kLogoWidth) * x;
    float row = static_cast<float>(kLogoHeight) * (1.0f - y);
    column = column >= 0.0f ? std::min(column, static_cast<float>(kLogoWidth - 1)) : 0.0f;
    row = row >= 0.0f ? std::min(row, static_cast<float>(kLogoHeight - 1)) : 0.0f;
    return logoPixel(static_cast<int>(column), static_cast<int>(row));
}

void referenceAdvance(std::vector<ParticlePosition>& positions, float dt, bool late) {
    const int count = std::min(particleCount, kMaxParticles);
    if (count <= 0) return;
    const float t = demoClock.time;
    const bool tremor = t > 64.0f && t < 64.25f;
    const float tremorScale = (t - 65.0f) * 0.005f;
    const float squeeze = std::min((t - 155.0f) / 15.0f, 1.0f);
    const bool forming = t > 175.0f;
    const float pull = std::min((t - 175.0f) / 34.0f, 1.0f);
    const float keep = 1.0f - pull;
    const bool damping = t > 190.0f;
    const float dampStrength = std::min((t - 190.0f) / 14.0f, 1.0f);
    const float dampX = 1.0f - 0.65f * dampStrength;
    const float dampY = 1.0f - 0.55f * dampStrength;
    const bool wrapOnly = t > 45.5f && t < 58.5f;
    const float chance = respawnChance;
    const float countF = static_cast<float>(count);

    for (int i = 0; i < count; ++i) {
        ParticlePosition& p = positions[static_cast<std::size_t>(i)];
        float x = p.x;
        float y = p.y;
        const float s = dt + static_cast<float>(i) * dt / countF;
        const RefWeights w = refWeights(49.0f * x, 49.0f * y);
        float vx = refInterpolate(fluidGrid.velocityX, w);
        float vy = refInterpolate(fluidGrid.velocityY, w);
        if (!forming) {
            x += s * vx;
            y += s * vy;
            if (tremor) {
                x += (0.5f - randUnit()) * tremorScale;
                y += (0.5f - randUnit()) * 0.001f;
            }
            if (late) y -= s * 0.009f * squeeze * (y - 0.5f);
        } else {
            if (damping && refLogoPixelUnder(x, y) == 0) {
                vx *= dampX;
                vy *= dampY;
            }
            const ParticlePosition target = particleTargets[static_cast<std::size_t>(i)];
            x = x + s * vx * keep - 0.14f * s * s * pull * (x - target.x);
            y = y + s * vy * keep - 0.085f * s * s * pull * (y - target.y);
        }
        if (x < 0.0f) {
            if (wrapOnly) {
                x += 1.0f;
            } else if (randUnit() <= chance && !late) {
                respawnParticle(x, y);
            } else {
                x += 1.0f;
            }
        }
        if (y < 0.0f) y += 1.0f;
        if (x > 1.0f) {
            if (wrapOnly) {
                x -= 1.0f;
            } else if (randUnit() <= chance && !late) {
                respawnParticle(x, y);
            } else {
                x -= 1.0f;
            }
        }
        if (y > 1.0f) y -= 1.0f;
        p.x = x;
        p.y = y;
    }
}

// ---- Test set-up, with a generator of its own so that rand15 is left alone. ----

class TestRandom {
public:
    explicit TestRandom(std::uint32_t seed) : state_(seed) {}
    float unit() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<float>(state_ >> 8) / 16777216.0f;
    }
    float between(float lo, float hi) { return lo + (hi - lo) * unit(); }

private:
    std::uint32_t state_;
};

// A float just below or at k / 49 whose two lattice neighbours, formed each from its own
// sum, are not one apart.
std::vector<float> unevenSpanPositions() {
    std::vector<float> found;
    for (int k = 1; k < 49 && found.size() < 6; ++k) {
        float x = static_cast<float>(k) / 49.0f;
        for (int step = 0; step < 8; ++step) {
            const LatticeSpan span = latticeSpan(49.0f * x);
            if (span.c1 - span.c0 != 1 && span.c1 - span.c0 != 1 - kGridSize) {
                found.push_back(x);
                break;
            }
            x = std::nextafter(x, 0.0f);
        }
    }
    return found;
}

class ParticlesExact : public ::testing::Test {
protected:
    fluidtest::SavedFluidState saved;

    void SetUp() override {
        fluidtest::fillRest(fluidGrid);
        TestRandom random(7);
        // Strong, uneven flow so that many particles leave the square every step.
        for (int c = 0; c < kCellCount; ++c) {
            fluidGrid.velocityX[c] = random.between(-0.15f, 0.15f);
            fluidGrid.velocityY[c] = random.between(-0.15f, 0.15f);
        }
        for (auto& target : particleTargets) target = {random.unit(), random.unit()};
        for (auto& pixel : logoPixels) pixel = random.unit() < 0.5f ? 0 : 255;
        scatter(11);
        respawnChance = 0.25f;
    }

    static void scatter(std::uint32_t seed) {
        TestRandom random(seed);
        for (auto& p : particlePositions) p = {random.unit(), random.unit()};
    }

    // Positions the block path must hand over to the one-at-a-time path, spread over
    // the first particles and over indices that do not start a block.
    static void plantOddPositions() {
        const float nan = std::numeric_limits<float>::quiet_NaN();
        const float inf = std::numeric_limits<float>::infinity();
        const std::vector<ParticlePosition> odd = {
            {-0.5f, 0.5f},  {1.7f, -2.0f},    {nan, 0.3f},      {0.2f, nan},         {1.0e20f, 0.5f},
            {0.5f, -inf},   {1.0f, 1.0f},     {0.0f, 0.0f},     {-0.0f, 1.0f},       {std::nextafter(1.0f, 0.0f), 0.5f},
            {-1.02f, 0.4f}, {1.0201f, 0.6f},  {0.3f, -1.0203f}, {-3.0e9f, -7.0e12f}, {0.999f, 0.001f},
            // Just left of or below the square: the upper neighbour wraps to cell 0.
            {-0.01f, 0.5f}, {0.5f, -0.015f},  {-0.002f, -0.003f},
        };
        std::size_t at = 0;
        for (const ParticlePosition& p : odd) {
            particlePositions[at] = p;
            particlePositions[at + 37] = p;
            particlePositions[at + 4099] = p;
            at += 3;
        }
        std::size_t edge = 200;
        for (float x : unevenSpanPositions()) {
            particlePositions[edge++] = {x, 0.5f};
            particlePositions[edge++] = {0.5f, x};
            particlePositions[edge++] = {x, x};
        }
    }

    // Runs both versions from the same positions and generator state for the given
    // frames, comparing after each.
    static void expectSameFrames(float t, bool late, int frames, const char* what) {
        std::vector<ParticlePosition> expected(particlePositions.begin(), particlePositions.end());
        for (int frame = 0; frame < frames; ++frame) {
            demoClock.time = t + 0.01f * static_cast<float>(frame);
            const float dt = frame % 2 == 0 ? 0.1875f : 0.03125f;
            const std::uint32_t seed = 1000u + static_cast<std::uint32_t>(frame) * 77u;

            seedRandom(seed);
            referenceAdvance(expected, dt, late);
            const int expectedNext[2] = {rand15(), rand15()};

            seedRandom(seed);
            advanceParticles(dt, late);
            const int actualNext[2] = {rand15(), rand15()};

            ASSERT_EQ(std::memcmp(expected.data(), particlePositions.data(), sizeof(particlePositions)), 0)
                << what << ": positions differ at t = " << demoClock.time << ", frame " << frame
                << ", first at particle " << firstDifference(expected);
            ASSERT_EQ(expectedNext[0], actualNext[0]) << what << ": draws differ at t = " << demoClock.time;
            ASSERT_EQ(expectedNext[1], actualNext[1]) << what << ": draws differ at t = " << demoClock.time;
        }
    }

    static std::size_t firstDifference(const std::vector<ParticlePosition>& expected) {
        for (std::size_t i = 0; i < expected.size(); ++i) {
            if (std::memcmp(&expected[i], &particlePositions[i], sizeof(ParticlePosition)) != 0) return i;
        }
        return expected.size();
    }
};

struct Phase {
    float t;
    const char* name;
};
constexpr Phase kPhases[] = {{30.0f, "free"},       {50.0f, "wrap only"}, {64.1f, "tremor"},
                             {160.0f, "squeeze"},  {180.0f, "forming"},  {200.0f, "damping"}};

TEST_F(ParticlesExact, EveryPhaseAndChanceWithAllParticles) {
    ASSERT_FALSE(unevenSpanPositions().empty()) << "no cell edge found where rounding splits the neighbours";
    for (const Phase& phase : kPhases) {
        for (float chance : {0.25f, 1.0f}) {
            SCOPED_TRACE(phase.name);
            SCOPED_TRACE(chance);
            scatter(static_cast<std::uint32_t>(phase.t * 10.0f));
            plantOddPositions();
            particleCount = kMaxParticles;
            respawnChance = chance;
            expectSameFrames(phase.t, phase.t > 155.0f, 3, phase.name);
        }
    }
}

TEST_F(ParticlesExact, SmallAndUnevenCounts) {
    for (int count : {0, 1, 7, 8, 9, 15, 16, 17, 1003, 99999}) {
        for (const Phase& phase : kPhases) {
            SCOPED_TRACE(count);
            SCOPED_TRACE(phase.name);
            scatter(static_cast<std::uint32_t>(count) + 3u);
            if (count > 4200) plantOddPositions();
            particleCount = count;
            respawnChance = 0.5f;
            expectSameFrames(phase.t, phase.t > 155.0f, count > 4200 ? 2 : 12, phase.name);
        }
    }
}

TEST_F(ParticlesExact, CountAboveTheArrayAndChanceZero) {
    particleCount = kMaxParticles + 123;
    respawnChance = 0.0f;
    plantOddPositions();
    expectSameFrames(30.0f, false, 2, "count above the array");
}

TEST_F(ParticlesExact, ObstacleBlocksInTheLattice) {
    // Solid blocks like the ones the frame driver makes, and a solid column at the edge.
    for (int y = 10; y < 30; ++y) {
        for (int x = 12; x < 35; ++x) fluidGrid.obstacle[cellIndex(x, y)] = 1;
    }
    for (int y = 0; y < kGridSize; ++y) fluidGrid.obstacle[cellIndex(0, y)] = 1;
    plantOddPositions();
    particleCount = 4321;
    respawnChance = 1.0f;
    expectSameFrames(30.0f, false, 10, "obstacles");
    expectSameFrames(120.0f, false, 10, "obstacles");
}

TEST_F(ParticlesExact, AllCellsSolid) {
    std::fill(std::begin(fluidGrid.obstacle), std::end(fluidGrid.obstacle), 1);
    particleCount = 300;
    respawnChance = 1.0f;
    plantOddPositions();
    expectSameFrames(30.0f, false, 2, "all solid");
}

TEST_F(ParticlesExact, NegativeZeroStaysNegativeZero) {
    // At (0, -0) the weights of the upper row are -0, so a flow of -0 in the bottom row
    // and +0 elsewhere samples to -0: the particle stays at y = -0, which is not below
    // zero and must not come out as +0.
    std::fill(std::begin(fluidGrid.velocityX), std::end(fluidGrid.velocityX), 0.0f);
    std::fill(std::begin(fluidGrid.velocityY), std::end(fluidGrid.velocityY), 0.0f);
    for (int x = 0; x < kGridSize; ++x) fluidGrid.velocityY[cellIndex(x, 0)] = -0.0f;
    particleCount = 64;
    for (int i = 0; i < particleCount; ++i) particlePositions[static_cast<std::size_t>(i)] = {0.0f, -0.0f};
    expectSameFrames(30.0f, false, 2, "negative zero");
    EXPECT_TRUE(std::signbit(particlePositions[9].y));
}

TEST_F(ParticlesExact, ExtremeVelocitiesAndSteps) {
    // Large velocities throw particles far outside the square within one step.
    TestRandom random(3);
    for (int c = 0; c < kCellCount; ++c) {
        fluidGrid.velocityX[c] = random.between(-40.0f, 40.0f);
        fluidGrid.velocityY[c] = random.between(-40.0f, 40.0f);
    }
    fluidGrid.velocityX[cellIndex(5, 5)] = std::numeric_limits<float>::infinity();
    fluidGrid.velocityY[cellIndex(6, 5)] = std::numeric_limits<float>::quiet_NaN();
    particleCount = 2000;
    for (const Phase& phase : kPhases) {
        SCOPED_TRACE(phase.name);
        scatter(5);
        expectSameFrames(phase.t, phase.t > 155.0f, 4, phase.name);
    }
}

}  // namespace
