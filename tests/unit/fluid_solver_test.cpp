#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "base/random.h"
#include "testing/fluid_support.h"
#include "timeline/layer_state.h"
#include "timeline/reset.h"

namespace {

TEST(FluidSolver, MatchesThePlainStepBitForBit) {
    fluidtest::SavedFluidState saved;
    seedRandom(7);
    for (auto& buffer : fluidGrid.distributions) {
        for (auto& cell : buffer) {
            for (int k = 0; k < kDirectionCount; ++k) cell[k] = kDirectionWeight[k] * (0.9f + 0.2f * randUnit());
        }
    }
    // A solid block, a full row, a lone cell and one on the wrapping corner: every bounce case.
    for (int cell = 0; cell < kCellCount; ++cell) {
        const int x = cell % kGridSize, y = cell / kGridSize;
        fluidGrid.obstacle[cell] = (x >= 20 && x < 27 && y >= 10 && y < 16) || y == 30 || cell == cellIndex(3, 40) ||
                                   cell == cellIndex(49, 0);
    }
    auto expected = std::make_unique<FluidGrid>(fluidGrid);
    for (int step = 0; step < 12; ++step) {
        if (step == 6) {  // a solid cell cleared resumes from the values it kept
            fluidGrid.obstacle[cellIndex(3, 40)] = expected->obstacle[cellIndex(3, 40)] = 0;
            fluidGrid.obstacle[cellIndex(33, 33)] = expected->obstacle[cellIndex(33, 33)] = 1;
        }
        stepFluid();
        fluidtest::referenceStep(*expected);
        ASSERT_EQ(0, std::memcmp(&fluidGrid, expected.get(), sizeof fluidGrid)) << "step " << step;
    }
}

// The saved state holds the layer switches, the beats' counters among them.
struct Reset : ::testing::Test {
    fluidtest::SavedFluidState saved;
};

TEST_F(Reset, OneStepFromRestAndTheCentralBlock) {
    std::fill(std::begin(fluidGrid.obstacle), std::end(fluidGrid.obstacle), 0);
    resetSimulation();
    const float* rest = kDirectionWeight.data();
    int solid = 0;
    for (int cell = 0; cell < kCellCount; ++cell) {
        const int x = cell % kGridSize, y = cell / kGridSize;
        ASSERT_EQ(fluidGrid.obstacle[cell], x >= 22 && x <= 26 && y >= 22 && y <= 26 ? 1 : 0) << x << ", " << y;
        solid += fluidGrid.obstacle[cell];
        for (int k = 0; k < kDirectionCount; ++k) {
            ASSERT_EQ(fluidGrid.distributions[1 - fluidGrid.currentBuffer][cell][k], fluidtest::referencePost(rest, k));
        }
    }
    EXPECT_EQ(solid, 25);
}

TEST_F(Reset, RestartsSchedulesBeatsAndParticles) {
    tuning.numList.cursor = tuning.sizeList.cursor = tuning.negativeList.cursor = tuning.kszakList.cursor = 2;
    layers.lastOverlayBeat = 40;
    layers.lastIntroBeat = 12;
    seedRandom(500);
    resetSimulation();
    for (TuningList* list : {&tuning.numList, &tuning.sizeList, &tuning.negativeList, &tuning.kszakList})
        EXPECT_EQ(list->cursor, 0);
    EXPECT_EQ(std::tuple(layers.lastOverlayBeat, layers.lastIntroBeat), std::tuple(0, 0));
    const ParticlePosition first = particles.particlePositions[0];
    seedRandom(500);  // scattered from the current generator, x then y
    EXPECT_EQ(first.x, randUnit());
    EXPECT_EQ(first.y, randUnit());
}

}  // namespace
