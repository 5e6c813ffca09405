#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "fluid/random.h"
#include "testing/fluid_support.h"

namespace {

using fluidtest::fillRest;
using fluidtest::referencePost;
using fluidtest::referenceStep;

class FluidSolver : public ::testing::Test {
protected:
    fluidtest::SavedFluidState saved;

    void SetUp() override { fillRest(fluidGrid); }

    static float* result(int cell) { return fluidGrid.distributions[1 - fluidGrid.currentBuffer][cell]; }

    // A disturbed state: every value of both buffers a little off the rest weights.
    static void disturb(std::uint32_t seed) {
        seedRandom(seed);
        for (auto& buffer : fluidGrid.distributions) {
            for (auto& cell : buffer) {
                for (int k = 0; k < kDirectionCount; ++k) {
                    cell[k] = kDirectionWeight[static_cast<std::size_t>(k)] * (0.9f + 0.2f * randUnit());
                }
            }
        }
    }

    static double totalMass(int buffer) {
        double sum = 0.0;
        for (const auto& cell : fluidGrid.distributions[buffer]) {
            for (float v : cell) sum += v;
        }
        return sum;
    }
};

TEST_F(FluidSolver, MatchesThePlainStepBitForBit) {
    disturb(7);
    // A solid block, a lone solid cell, a solid cell on the wrapping edge and a full
    // solid row, so every bounce case and the wrapped rows are exercised.
    for (int y = 10; y < 16; ++y) {
        for (int x = 20; x < 27; ++x) fluidGrid.obstacle[cellIndex(x, y)] = 1;
    }
    fluidGrid.obstacle[cellIndex(3, 40)] = 1;
    fluidGrid.obstacle[cellIndex(49, 0)] = 1;
    for (int x = 0; x < kGridSize; ++x) fluidGrid.obstacle[cellIndex(x, 30)] = 1;

    auto expected = std::make_unique<FluidGrid>(fluidGrid);
    for (int step = 0; step < 12; ++step) {
        if (step == 6) {  // change the obstacles between steps
            fluidGrid.obstacle[cellIndex(3, 40)] = 0;
            fluidGrid.obstacle[cellIndex(33, 33)] = 1;
            expected->obstacle[cellIndex(3, 40)] = 0;
            expected->obstacle[cellIndex(33, 33)] = 1;
        }
        stepFluid();
        referenceStep(*expected);
        ASSERT_EQ(fluidGrid.currentBuffer, expected->currentBuffer);
        ASSERT_EQ(0, std::memcmp(fluidGrid.distributions, expected->distributions, sizeof fluidGrid.distributions))
            << "step " << step;
        ASSERT_EQ(0, std::memcmp(fluidGrid.velocityX, expected->velocityX, sizeof fluidGrid.velocityX));
        ASSERT_EQ(0, std::memcmp(fluidGrid.velocityY, expected->velocityY, sizeof fluidGrid.velocityY));
        ASSERT_EQ(0, std::memcmp(fluidGrid.density, expected->density, sizeof fluidGrid.density));
    }
}

TEST_F(FluidSolver, ConservesMassWithoutSolidCells) {
    disturb(11);
    // The next step reads the buffer other than currentBuffer.
    const double before = totalMass(1 - fluidGrid.currentBuffer);
    for (int step = 0; step < 100; ++step) stepFluid();
    const double after = totalMass(1 - fluidGrid.currentBuffer);
    // Single-precision rounding drifts the sum by about 1e-7 of it per step.
    EXPECT_NEAR(after, before, before * 2e-5);
}

TEST_F(FluidSolver, ConservesMassAroundSolidCells) {
    disturb(12);
    for (int y = 22; y <= 26; ++y) {
        for (int x = 22; x <= 26; ++x) fluidGrid.obstacle[cellIndex(x, y)] = 1;
    }
    auto fluidMass = [](int buffer) {
        double sum = 0.0;
        for (int cell = 0; cell < kCellCount; ++cell) {
            if (fluidGrid.obstacle[cell] != 0) continue;
            for (float v : fluidGrid.distributions[buffer][cell]) sum += v;
        }
        return sum;
    };
    const double before = fluidMass(1 - fluidGrid.currentBuffer);
    for (int step = 0; step < 100; ++step) stepFluid();
    EXPECT_NEAR(fluidMass(1 - fluidGrid.currentBuffer), before, before * 2e-5);
}

TEST_F(FluidSolver, UniformFluidStaysUniformAndAccelerates) {
    float previous = 0.0f;
    for (int step = 1; step <= 20; ++step) {
        stepFluid();
        const float ux = fluidGrid.velocityX[0];
        for (int cell = 0; cell < kCellCount; ++cell) {
            ASSERT_EQ(fluidGrid.velocityX[cell], ux) << "cell " << cell;
            ASSERT_EQ(fluidGrid.velocityY[cell], fluidGrid.velocityY[0]);
            ASSERT_NEAR(fluidGrid.density[cell], 1.0f, 1e-5f);
        }
        EXPECT_NEAR(fluidGrid.velocityY[0], 0.0f, 1e-7f);
        // The stored velocity is that of the step's source; from the second step on it
        // has grown by OMEGA * FORCE_X per step.
        if (step >= 2) {
            EXPECT_NEAR(ux - previous, OMEGA * FORCE_X, 2e-8f) << "step " << step;
        }
        previous = ux;
    }
}

TEST_F(FluidSolver, BouncesBackFromASolidRightNeighbour) {
    disturb(3);
    const int cell = cellIndex(10, 10);
    fluidGrid.obstacle[cellIndex(11, 10)] = 1;
    float before[kDirectionCount];
    std::memcpy(before, fluidGrid.distributions[1 - fluidGrid.currentBuffer][cell], sizeof before);
    stepFluid();
    EXPECT_EQ(result(cell)[3], referencePost(before, 1));
    // The other directions are not reflected: slot 1 came in from the left neighbour.
    float left[kDirectionCount];
    std::memcpy(left, fluidGrid.distributions[fluidGrid.currentBuffer][cellIndex(9, 10)], sizeof left);
    EXPECT_EQ(result(cell)[1], referencePost(left, 1));
}

TEST_F(FluidSolver, StreamsAcrossTheWrappingEdges) {
    disturb(5);
    float rightEdge[kDirectionCount], bottomEdge[kDirectionCount], corner[kDirectionCount];
    const int src = 1 - fluidGrid.currentBuffer;  // the buffer the next step reads
    std::memcpy(rightEdge, fluidGrid.distributions[src][cellIndex(49, 20)], sizeof rightEdge);
    std::memcpy(bottomEdge, fluidGrid.distributions[src][cellIndex(17, 0)], sizeof bottomEdge);
    std::memcpy(corner, fluidGrid.distributions[src][cellIndex(0, 0)], sizeof corner);
    stepFluid();
    EXPECT_EQ(result(cellIndex(0, 20))[1], referencePost(rightEdge, 1));    // x = 49 -> x = 0
    EXPECT_EQ(result(cellIndex(0, 21))[5], referencePost(rightEdge, 5));    // up and right
    EXPECT_EQ(result(cellIndex(17, 49))[4], referencePost(bottomEdge, 4));  // y = 0 -> y = 49
    EXPECT_EQ(result(cellIndex(49, 49))[7], referencePost(corner, 7));      // both at once
    EXPECT_EQ(result(cellIndex(1, 49))[8], referencePost(corner, 8));
}

TEST_F(FluidSolver, SolidCellsStayFrozenAndResumeFromTheirValues) {
    disturb(9);
    const int cell = cellIndex(30, 12);
    fluidGrid.obstacle[cell] = 1;
    float frozen[2][kDirectionCount];
    std::memcpy(frozen[0], fluidGrid.distributions[0][cell], sizeof frozen[0]);
    std::memcpy(frozen[1], fluidGrid.distributions[1][cell], sizeof frozen[1]);
    fluidGrid.velocityX[cell] = 123.0f;
    for (int step = 0; step < 25; ++step) stepFluid();
    EXPECT_EQ(0, std::memcmp(frozen[0], fluidGrid.distributions[0][cell], sizeof frozen[0]));
    EXPECT_EQ(0, std::memcmp(frozen[1], fluidGrid.distributions[1][cell], sizeof frozen[1]));
    EXPECT_EQ(fluidGrid.velocityX[cell], 123.0f);  // nothing is written for a solid cell

    // Cleared, the cell's next moments come from the values it kept, not the rest state.
    fluidGrid.obstacle[cell] = 0;
    const float* kept = frozen[1 - fluidGrid.currentBuffer];
    float mass = 0.0f;
    for (int k = 0; k < kDirectionCount; ++k) mass += kept[k];
    stepFluid();
    EXPECT_EQ(fluidGrid.density[cell], mass);
}

}  // namespace
