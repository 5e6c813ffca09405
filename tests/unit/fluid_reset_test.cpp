#include <gtest/gtest.h>

#include "fluid/random.h"
#include "fluid/reset.h"
#include "testing/fluid_support.h"
#include "timeline/layer_state.h"

namespace {

class Reset : public ::testing::Test {
protected:
    fluidtest::SavedFluidState saved;
    int overlayBeat = lastOverlayBeat;
    int introBeat = lastIntroBeat;

    void TearDown() override {
        lastOverlayBeat = overlayBeat;
        lastIntroBeat = introBeat;
    }

    static bool inCentralBlock(int x, int y) { return x >= 22 && x <= 26 && y >= 22 && y <= 26; }
};

TEST_F(Reset, OneStepFromRestAndTheCentralBlock) {
    std::fill(std::begin(fluidGrid.obstacle), std::end(fluidGrid.obstacle), 0);
    resetSimulation();
    // The post-collision values of the rest state, which every fluid cell receives.
    float rest[kDirectionCount];
    for (int k = 0; k < kDirectionCount; ++k) rest[k] = kDirectionWeight[static_cast<std::size_t>(k)];
    const float* written = nullptr;
    int solid = 0;
    for (int y = 0; y < kGridSize; ++y) {
        for (int x = 0; x < kGridSize; ++x) {
            const int cell = cellIndex(x, y);
            EXPECT_EQ(fluidGrid.obstacle[cell], inCentralBlock(x, y) ? 1 : 0);
            solid += fluidGrid.obstacle[cell];
            written = fluidGrid.distributions[1 - fluidGrid.currentBuffer][cell];
            for (int k = 0; k < kDirectionCount; ++k) {
                ASSERT_EQ(written[k], fluidtest::referencePost(rest, k)) << x << ", " << y << ", " << k;
            }
        }
    }
    EXPECT_EQ(solid, 25);
}

TEST_F(Reset, KeepsSolidCellsAlreadySet) {
    std::fill(std::begin(fluidGrid.obstacle), std::end(fluidGrid.obstacle), 0);
    fluidGrid.obstacle[cellIndex(7, 7)] = 1;
    resetSimulation();
    EXPECT_EQ(fluidGrid.obstacle[cellIndex(7, 7)], 1);
    EXPECT_EQ(fluidGrid.obstacle[cellIndex(24, 24)], 1);
    // The solid cell was filled with the rest state in both buffers and then skipped.
    for (int b = 0; b < 2; ++b) {
        for (int k = 0; k < kDirectionCount; ++k) {
            EXPECT_EQ(fluidGrid.distributions[b][cellIndex(7, 7)][k], kDirectionWeight[static_cast<std::size_t>(k)]);
        }
    }
}

TEST_F(Reset, RestartsSchedulesAndBeats) {
    parseTuningText(numList, "h\n1 100\n2 200\n", "p-num.dat");
    parseTuningText(sizeList, "h\n1 2 3 4\n", "p-size.dat");
    numList.cursor = 2;
    sizeList.cursor = 1;
    negativeList.cursor = negativeList.count;
    kszakList.cursor = kszakList.count;
    lastOverlayBeat = 40;
    lastIntroBeat = 12;
    resetSimulation();
    EXPECT_EQ(numList.cursor, 0);
    EXPECT_EQ(sizeList.cursor, 0);
    EXPECT_EQ(negativeList.cursor, 0);
    EXPECT_EQ(kszakList.cursor, 0);
    EXPECT_EQ(lastOverlayBeat, 0);
    EXPECT_EQ(lastIntroBeat, 0);
    applyTuningSchedules(50.0f);
    EXPECT_EQ(particleCount, 100);  // from the first record again, one per frame
    applyTuningSchedules(50.0f);
    EXPECT_EQ(particleCount, 200);
}

TEST_F(Reset, ScattersFromTheCurrentGenerator) {
    seedRandom(500);
    resetSimulation();
    const ParticlePosition first = particlePositions[0];
    seedRandom(500);
    EXPECT_EQ(first.x, randUnit());
    EXPECT_EQ(first.y, randUnit());
    seedRandom(500);
    rand15();  // one draw earlier shifts every position
    resetSimulation();
    EXPECT_NE(particlePositions[0].x, first.x);
}

TEST_F(Reset, KeepsTheAppliedTuningValues) {
    particleCount = 1234;
    MIN_PAR = 3.0f;
    negativeOn = 0;
    resetSimulation();
    EXPECT_EQ(particleCount, 1234);
    EXPECT_EQ(MIN_PAR, 3.0f);
    EXPECT_EQ(negativeOn, 0);
}

}  // namespace
