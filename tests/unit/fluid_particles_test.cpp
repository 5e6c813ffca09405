#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fluid/random.h"
#include "testing/fluid_support.h"

namespace {

class Particles : public ::testing::Test {
protected:
    fluidtest::SavedFluidState saved;

    void SetUp() override {
        fluidtest::fillRest(fluidGrid);
        std::fill(std::begin(fluidGrid.velocityX), std::end(fluidGrid.velocityX), 0.0f);
        std::fill(std::begin(fluidGrid.velocityY), std::end(fluidGrid.velocityY), 0.0f);
        logoPixels.fill(0);
        respawnChance = 0.0f;
        demoClock.time = 100.0f;
    }

    // A field whose value at cell (x, y) is 100 x + y, so every sample says where it came from.
    static void fillCoordinateField(float* field) {
        for (int y = 0; y < kGridSize; ++y) {
            for (int x = 0; x < kGridSize; ++x) field[cellIndex(x, y)] = static_cast<float>(100 * x + y);
        }
    }

    // True when the generator is where seedRandom(seed) left it.
    static bool nothingDrawnSince(std::uint32_t seed) {
        const int next = rand15();
        seedRandom(seed);
        return next == rand15();
    }

    static void placeOne(float x, float y) {
        particleCount = 1;
        particlePositions[0] = {x, y};
    }
};

TEST_F(Particles, SamplesCellCentresExactly) {
    fillCoordinateField(fluidGrid.velocityX);
    EXPECT_EQ(sampleBilinear(fluidGrid.velocityX, 0.0f, 0.0f), 0.0f);
    EXPECT_EQ(sampleBilinear(fluidGrid.velocityX, 7.0f, 31.0f), 731.0f);
    EXPECT_EQ(sampleBilinear(fluidGrid.velocityX, 48.0f, 48.0f), 4848.0f);
}

TEST_F(Particles, InterpolatesBetweenCells) {
    fillCoordinateField(fluidGrid.velocityX);
    EXPECT_FLOAT_EQ(sampleBilinear(fluidGrid.velocityX, 10.5f, 20.25f), 1050.0f + 20.25f);
}

TEST_F(Particles, SamplesTheEdgeAndWrapsTheUpperNeighbour) {
    fillCoordinateField(fluidGrid.velocityX);
    // x = 1 lies on column 49 whose right neighbour wraps to column 0.
    EXPECT_EQ(latticeSpan(49.0f).c0, 49);
    EXPECT_EQ(latticeSpan(49.0f).c1, 0);
    EXPECT_EQ(sampleBilinear(fluidGrid.velocityX, 49.0f, 49.0f), 4949.0f);
    EXPECT_EQ(sampleBilinear(fluidGrid.velocityX, 49.0f, 3.0f), 4903.0f);
    // Just beyond the edge the wrapped difference is -49, so the weights run the other way.
    const float r = (49.49f - 49.0f) / -49.0f;
    EXPECT_FLOAT_EQ(sampleBilinear(fluidGrid.velocityX, 49.49f, 3.0f), (1.0f - r) * 4903.0f + r * 3.0f);
}

TEST_F(Particles, LatticeSpanStaysInsideForAnyCoordinate) {
    for (float g : {-1.0e30f, -123.4f, -50.5f, -0.25f, 1.0e9f, 3.0e38f, std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        const LatticeSpan span = latticeSpan(g);
        EXPECT_GE(span.c0, 0) << g;
        EXPECT_LT(span.c0, kGridSize) << g;
        EXPECT_GE(span.c1, 0) << g;
        EXPECT_LT(span.c1, kGridSize) << g;
    }
    EXPECT_EQ(latticeSpan(-123.0f).c0, 27);  // trunc(-73) wrapped by a true modulo
    EXPECT_EQ(latticeSpan(-123.0f).c1, 28);
}

TEST_F(Particles, ScatterIsUniformDeterministicAndInsideTheSquare) {
    seedRandom(500);
    scatterParticles();
    const ParticlePosition first = particlePositions[0];
    double meanX = 0.0;
    for (const ParticlePosition& p : particlePositions) {
        ASSERT_GE(p.x, 0.0f);
        ASSERT_LE(p.x, 1.0f);
        ASSERT_GE(p.y, 0.0f);
        ASSERT_LE(p.y, 1.0f);
        meanX += p.x;
    }
    EXPECT_NEAR(meanX / kMaxParticles, 0.5, 0.01);
    seedRandom(500);
    const float x = randUnit();
    const float y = randUnit();
    EXPECT_EQ(first.x, x);  // x first, then y, each from its own draw
    EXPECT_EQ(first.y, y);
}

TEST_F(Particles, LaterParticlesTakeLongerSteps) {
    std::fill(std::begin(fluidGrid.velocityX), std::end(fluidGrid.velocityX), 0.01f);
    particleCount = 1000;
    for (int i = 0; i <= particleCount; ++i) particlePositions[static_cast<std::size_t>(i)] = {0.5f, 0.5f};
    advanceParticles(1.0f, false);
    EXPECT_NEAR(particlePositions[0].x - 0.5f, 0.01f, 1e-7f);
    EXPECT_NEAR(particlePositions[999].x - 0.5f, 0.01f * (1.0f + 999.0f / 1000.0f), 1e-7f);
    EXPECT_EQ(particlePositions[1000].x, 0.5f);  // beyond particleCount nothing moves
}

TEST_F(Particles, NoParticlesNoMotion) {
    std::fill(std::begin(fluidGrid.velocityX), std::end(fluidGrid.velocityX), 0.01f);
    particlePositions[0] = {0.5f, 0.5f};
    for (int count : {0, -5}) {
        particleCount = count;
        advanceParticles(1.0f, false);
        EXPECT_EQ(particlePositions[0].x, 0.5f);
    }
}

TEST_F(Particles, SqueezeOnlyWhenLateAndFreePhaseAtExactly175) {
    demoClock.time = 175.0f;  // still the free phase
    particleTargets[0] = {0.9f, 0.9f};
    placeOne(0.3f, 0.8f);
    advanceParticles(1.0f, false);
    EXPECT_EQ(particlePositions[0].x, 0.3f);
    EXPECT_EQ(particlePositions[0].y, 0.8f);
    advanceParticles(1.0f, true);  // full squeeze strength from 170 s on
    EXPECT_EQ(particlePositions[0].x, 0.3f);
    EXPECT_FLOAT_EQ(particlePositions[0].y, 0.8f - 0.009f * (0.8f - 0.5f));

    demoClock.time = 160.0f;  // a third of the way in
    placeOne(0.3f, 0.2f);
    advanceParticles(1.0f, true);
    EXPECT_FLOAT_EQ(particlePositions[0].y, 0.2f - 0.009f * (1.0f / 3.0f) * (0.2f - 0.5f));
}

TEST_F(Particles, TremorOnlyInsideItsWindow) {
    for (float t : {64.0f, 64.25f}) {
        demoClock.time = t;
        placeOne(0.5f, 0.5f);
        seedRandom(1);
        advanceParticles(1.0f, false);
        EXPECT_EQ(particlePositions[0].x, 0.5f) << t;
        EXPECT_TRUE(nothingDrawnSince(1)) << "no draw at " << t;
    }
    demoClock.time = 64.1f;
    placeOne(0.5f, 0.5f);
    seedRandom(1);
    const float u1 = randUnit();
    const float u2 = randUnit();
    seedRandom(1);
    advanceParticles(1.0f, false);
    EXPECT_FLOAT_EQ(particlePositions[0].x, 0.5f + (0.5f - u1) * (64.1f - 65.0f) * 0.005f);
    EXPECT_FLOAT_EQ(particlePositions[0].y, 0.5f + (0.5f - u2) * 0.001f);
}

TEST_F(Particles, FormationPullsTowardsTheTargetAfter175) {
    demoClock.time = 175.0f + 17.0f;  // half strength: b = 0.5
    logoPixels.fill(255);             // no damping
    particleTargets[0] = {0.9f, 0.1f};
    placeOne(0.5f, 0.5f);
    std::fill(std::begin(fluidGrid.velocityX), std::end(fluidGrid.velocityX), 0.02f);
    advanceParticles(1.0f, true);
    EXPECT_FLOAT_EQ(particlePositions[0].x, 0.5f + 0.02f * 0.5f - 0.14f * 0.5f * (0.5f - 0.9f));
    EXPECT_FLOAT_EQ(particlePositions[0].y, 0.5f - 0.085f * 0.5f * (0.5f - 0.1f));
}

TEST_F(Particles, DampsTheVelocityOnBlackLogoPixelsAfter190) {
    std::fill(std::begin(fluidGrid.velocityX), std::end(fluidGrid.velocityX), 0.02f);
    // The target under the particle, so only the damped velocity moves it.
    demoClock.time = 197.0f;  // m = 0.5, b = 22 / 34
    const float b = 22.0f / 34.0f;
    particleTargets[0] = {0.25f, 0.5f};
    placeOne(0.25f, 0.5f);
    advanceParticles(1.0f, true);  // logo all black: damped
    EXPECT_FLOAT_EQ(particlePositions[0].x, 0.25f + 0.02f * (1.0f - 0.65f * 0.5f) * (1.0f - b));

    logoPixels.fill(255);
    placeOne(0.25f, 0.5f);
    advanceParticles(1.0f, true);
    EXPECT_FLOAT_EQ(particlePositions[0].x, 0.25f + 0.02f * (1.0f - b));
}

TEST_F(Particles, LogoLookupClampsAtTheFarEdges) {
    std::fill(std::begin(fluidGrid.velocityX), std::end(fluidGrid.velocityX), -0.02f);
    demoClock.time = 197.0f;
    const float b = 22.0f / 34.0f;
    // Only the last column's bottom pixel is not black: x = 1, y = 0 must read it.
    logoPixels.fill(0);
    logoPixels[static_cast<std::size_t>(kLogoWidth - 1) * kLogoHeight + kLogoHeight - 1] = 255;
    particleTargets[0] = {1.0f, 0.0f};
    placeOne(1.0f, 0.0f);
    advanceParticles(1.0f, true);
    EXPECT_FLOAT_EQ(particlePositions[0].x, 1.0f - 0.02f * (1.0f - b));  // undamped
}

TEST_F(Particles, SidewaysExitsWrapOrRespawn) {
    std::fill(std::begin(fluidGrid.velocityX), std::end(fluidGrid.velocityX), 0.1f);
    respawnChance = 1.0f;
    // Between 45.5 and 58.5 s nothing respawns, and nothing is drawn for it.
    demoClock.time = 50.0f;
    placeOne(0.95f, 0.5f);
    seedRandom(2);
    advanceParticles(1.0f, false);
    EXPECT_NEAR(particlePositions[0].x, 0.05f, 1e-6f);
    EXPECT_EQ(particlePositions[0].y, 0.5f);
    EXPECT_TRUE(nothingDrawnSince(2));
    // Late: a draw is made, but the particle wraps.
    demoClock.time = 160.0f;
    placeOne(0.95f, 0.5f);
    advanceParticles(1.0f, true);
    EXPECT_NEAR(particlePositions[0].x, 0.05f, 1e-6f);
    // Otherwise a draw at or below the chance respawns it somewhere fluid.
    demoClock.time = 100.0f;
    placeOne(0.95f, 0.5f);
    advanceParticles(1.0f, false);
    EXPECT_NE(particlePositions[0].y, 0.5f);
    // Vertical exits always wrap.
    std::fill(std::begin(fluidGrid.velocityX), std::end(fluidGrid.velocityX), 0.0f);
    std::fill(std::begin(fluidGrid.velocityY), std::end(fluidGrid.velocityY), -0.1f);
    placeOne(0.5f, 0.05f);
    advanceParticles(1.0f, false);
    EXPECT_FLOAT_EQ(particlePositions[0].y, 0.95f);
}

TEST_F(Particles, RespawnNeverLandsInASolidCell) {
    // Everything solid except a thin cross.
    std::fill(std::begin(fluidGrid.obstacle), std::end(fluidGrid.obstacle), 1);
    for (int i = 0; i < kGridSize; ++i) {
        fluidGrid.obstacle[cellIndex(i, 10)] = 0;
        fluidGrid.obstacle[cellIndex(33, i)] = 0;
    }
    seedRandom(77);
    for (int n = 0; n < 2000; ++n) {
        float x = -0.1f;
        float y = 0.5f;
        respawnParticle(x, y);
        const int cell = cellIndex(latticeSpan(49.0f * x).c0, latticeSpan(49.0f * y).c0);
        ASSERT_EQ(fluidGrid.obstacle[cell], 0) << x << ", " << y;
    }
}

TEST_F(Particles, RespawnOnAnAllSolidLatticeGivesUp) {
    std::fill(std::begin(fluidGrid.obstacle), std::end(fluidGrid.obstacle), 1);
    float x = -0.1f;
    float y = 0.5f;
    respawnParticle(x, y);
    EXPECT_EQ(x, -0.1f);
    EXPECT_EQ(y, 0.5f);
}

TEST_F(Particles, StepsSurviveAbsurdPositions) {
    particleCount = 3;
    particlePositions[0] = {-1.0e20f, 5.0f};
    particlePositions[1] = {std::numeric_limits<float>::quiet_NaN(), 0.5f};
    particlePositions[2] = {0.5f, std::numeric_limits<float>::infinity()};
    demoClock.time = 200.0f;
    advanceParticles(1.0f, true);  // must not read outside the lattice or the logo
    SUCCEED();
}

TEST(ParticlesBands, TwentyBandsLeaveTheFirstFiveThousandOut) {
    EXPECT_EQ(particleBandLength(100000, 20), 5000);
    const ParticleBand first = particleBand(1, 100000, 20, 1.0f, 6.0f, 1080);
    const ParticleBand last = particleBand(19, 100000, 20, 1.0f, 6.0f, 1080);
    EXPECT_EQ(first.first, 5000);
    EXPECT_EQ(first.count, 5000);
    EXPECT_EQ(last.first, 95000);
    EXPECT_EQ(last.first + last.count, 100000);
    EXPECT_FLOAT_EQ(first.pointSize, (18.0f / 19.0f + 6.0f / 19.0f) * 0.75f);
    EXPECT_FLOAT_EQ(last.pointSize, 6.0f * 0.75f);
}

TEST(ParticlesBands, RemainderAndDegenerateCounts) {
    EXPECT_EQ(particleBandLength(99999, 20), 4999);  // particles 99980.. are not drawn
    EXPECT_EQ(particleBand(19, 99999, 20, 1, 6, 720).first + 4999, 99980);
    EXPECT_EQ(particleBandLength(0, 20), 0);
    EXPECT_EQ(particleBandLength(-7, 20), 0);
    EXPECT_EQ(particleBandLength(100000, 1), 0);
    EXPECT_EQ(particleBandLength(100000, 0), 0);
    EXPECT_EQ(particleBandLength(100000, -3), 0);
    EXPECT_EQ(particleBandLength(10, 1000), 0);
    EXPECT_EQ(particleBandLength(250000, 20), 5000);  // never past the array
}

TEST(ParticlesBands, SizeFollowsTheFactorsAndPictureHeight) {
    EXPECT_FLOAT_EQ(particleBand(1, 100, 2, 3.0f, 9.0f, 720).pointSize, 9.0f * 0.5f);
    EXPECT_FLOAT_EQ(particleBand(2, 300, 3, 2.0f, 4.0f, 1440).pointSize, 4.0f);
    EXPECT_FLOAT_EQ(particleBand(1, 300, 3, 2.0f, 4.0f, 1440).pointSize, 3.0f);
}

}  // namespace
