#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "fluid/fluid.h"
#include "fluid/particles.h"
#include "shell/demo_clock.h"
#include "timeline/compose.h"
#include "timeline/fluid_stage.h"
#include "timeline/frame.h"
#include "timeline/layer_state.h"
#include "timeline/preroll.h"

#include "fluid/reset.h"
#include "testing/fluid_support.h"

namespace {

int solidCount() { return static_cast<int>(std::count(fluidGrid.obstacle, fluidGrid.obstacle + kCellCount, 1)); }
bool solid(int x, int y) { return fluidGrid.obstacle[cellIndex(x, y)] == 1; }

// Runs the per-frame rules of the composition from `from` to `to` at a steady rate.
template <typename Rule>
void runFrames(float from, float to, float fps, Rule rule) {
    const float step = 1.0f / fps;
    const int frames = static_cast<int>(std::lround((to - from) * fps));
    for (int i = 1; i <= frames; ++i) rule(from + static_cast<float>(i) * step, step);
}

// The process-wide state the timeline rules change.
auto timelineGlobals() {
    return std::tie(creditsAlpha, endLogoAlpha, blobActive, obstaclesCleared, fluidStepCarry, particleSpeed,
                    particleStepScale, introFrameIndex, lastIntroBeat, introPulse, lastOverlayBeat, overlayOffset,
                    overlayTurn);
}

template <typename... T>
std::tuple<T...> copied(std::tuple<T&...> globals) {
    return globals;
}

// Puts that state and the fluid's back after every test, passed or failed, and starts
// each one with no fluid step carried over.
class TimelineState : public ::testing::Test {
protected:
    TimelineState() { fluidStepCarry = 0.0f; }
    ~TimelineState() override { timelineGlobals() = saved_; }

private:
    fluidtest::SavedFluidState fluid_;
    decltype(copied(timelineGlobals())) saved_ = copied(timelineGlobals());
};

}  // namespace

using TimelineObstacle = TimelineState;
using TimelineFluidSteps = TimelineState;
using TimelineCamera = TimelineState;
using TimelineLayout = TimelineState;
using TimelineBlobSwitch = TimelineState;
using TimelineFades = TimelineState;
using TimelineIntro = TimelineState;
using TimelineOverlay = TimelineState;
using TimelinePreroll = TimelineState;

TEST_F(TimelineObstacle, PulsingSquareAndTheRingItLeaves) {
    std::fill_n(fluidGrid.obstacle, kCellCount, 0);
    obstaclesCleared = 0;
    EXPECT_EQ(pulsingSquareSize(0.0f), 20);
    EXPECT_EQ(pulsingSquareSize(std::nanf("")), 20) << "a broken clock never writes outside the grid";
    EXPECT_EQ(pulsingSquareSize(INFINITY), 20);
    shapeObstacles(0.0f);
    EXPECT_EQ(solidCount(), 400);
    EXPECT_TRUE(solid(15, 15));
    EXPECT_TRUE(solid(34, 34));
    EXPECT_FALSE(solid(14, 15));

    // Near sin(0.2 t) = -1 the square is widest: 34 cells in single precision (35 only
    // where the sine is exactly -1), cells 8 to 41.
    EXPECT_EQ(pulsingSquareSize(23.56f), 34);
    shapeObstacles(23.56f);
    EXPECT_TRUE(solid(8, 8));
    EXPECT_TRUE(solid(41, 41));
    EXPECT_FALSE(solid(7, 8));
    EXPECT_FALSE(solid(42, 41));

    // As the square shrinks, only the central block is cleared: the ring stays solid.
    shapeObstacles(40.0f);
    EXPECT_LT(pulsingSquareSize(40.0f), 20);
    EXPECT_TRUE(solid(8, 8));
    EXPECT_TRUE(solid(14, 30));
    EXPECT_FALSE(solid(15, 15));

    // After 100 s every obstacle is cleared each frame, after the fluid steps.
    driftMovesAt(100.5f);
    EXPECT_EQ(solidCount(), 0);

    // From 183 s the square is gone, cleared once.
    shapeObstacles(150.0f);
    shapeObstacles(183.0f);
    EXPECT_EQ(solidCount(), 0);
    EXPECT_EQ(obstaclesCleared, 1);
    fluidGrid.obstacle[0] = 1;
    shapeObstacles(190.0f);
    EXPECT_EQ(solidCount(), 1) << "the clear happens once per run";
}

TEST_F(TimelineFluidSteps, TwentyFivePerSecondWhateverTheFrameRate) {
    EXPECT_EQ(fluidStepsForFrame(1.0f / 60.0f), 0);
    EXPECT_EQ(fluidStepsForFrame(1.0f / 60.0f), 0);
    EXPECT_EQ(fluidStepsForFrame(1.0f / 60.0f), 0);
    for (const float fps : {24.0f, 30.0f, 60.0f, 144.0f, 7.0f}) {
        fluidStepCarry = 0.0f;
        int steps = 0;
        int most = 0;
        const int frames = static_cast<int>(fps * 40.0f);
        for (int i = 0; i < frames; ++i) {
            const int n = fluidStepsForFrame(1.0f / fps);
            steps += n;
            most = std::max(most, n);
        }
        EXPECT_NEAR(steps, 1000, 2) << fps << " frames per second";
        EXPECT_LE(most, static_cast<int>(25.0f / fps) + 1) << "the carry adds at most one step";
    }
    fluidStepCarry = 0.0f;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(fluidStepsForFrame(0.04f), 1);
    EXPECT_LT(fluidStepCarry, 0.01f);
    fluidStepCarry = 0.0f;
    EXPECT_EQ(fluidStepsForFrame(0.0f), 0) << "no steps while paused";
    EXPECT_EQ(fluidStepsForFrame(std::nanf("")), 0);
    EXPECT_EQ(fluidStepsForFrame(1e30f), 25 * 86400) << "an absurd jump is bounded, not undefined";
}

TEST_F(TimelineCamera, MovesAtTheEdgesOfTheirWindows) {
    respawnChance = 0.0f;
    TransformList sweep = cameraMovesAt(10.0f);
    ASSERT_EQ(sweep.count, 2);
    EXPECT_FLOAT_EQ(sweep.items[0].a, 35.2f * (10.0f - 25.5f) / 25.5f);
    EXPECT_FLOAT_EQ(particleStepScale, 0.5f - 0.4f * (10.0f / 25.5f));
    EXPECT_EQ(respawnChance, 0.25f);

    EXPECT_EQ(cameraMovesAt(25.5f).count, 0) << "neither sweep nor twist at 25.5 exactly";
    EXPECT_EQ(particleStepScale, 1.0f);
    EXPECT_EQ(cameraMovesAt(26.6f).count, 3) << "twist only";
    EXPECT_EQ(cameraMovesAt(26.65f).count, 5) << "twist and tilt overlap";
    TransformList tilt = cameraMovesAt(26.7f);
    ASSERT_EQ(tilt.count, 2);
    EXPECT_EQ(tilt.items[0].kind, ModelviewTransform::Kind::Rotate);
    EXPECT_FLOAT_EQ(tilt.items[1].a, -0.03f * (26.7f - 25.5f));

    respawnChance = 0.65f;
    EXPECT_EQ(cameraMovesAt(45.0f).count, 0);
    EXPECT_EQ(respawnChance, 0.65f) << "not set at 45 exactly";

    particleSpeed = 1.0f;
    EXPECT_EQ(driftMovesAt(45.0f).count, 1) << "only the second offset at 45 exactly";
    EXPECT_EQ(particleSpeed, 1.0f);
    EXPECT_EQ(driftMovesAt(50.0f).count, 2);
    EXPECT_EQ(particleSpeed, 0.15f);
    EXPECT_EQ(driftMovesAt(58.5f).count, 0);
    EXPECT_EQ(particleSpeed, 0.15f) << "at 58.5 exactly neither speed is set";
    TransformList slide = driftMovesAt(60.0f);
    ASSERT_EQ(slide.count, 1);
    EXPECT_FLOAT_EQ(slide.items[0].a, 0.15f - 0.04f * 1.5f);
    EXPECT_EQ(particleSpeed, 0.25f);
    EXPECT_EQ(driftMovesAt(101.0f).count, 0) << "the slide ends before 101";
    TransformList early = driftMovesAt(10.0f);
    ASSERT_EQ(early.count, 2);
    EXPECT_FLOAT_EQ(early.items[0].c, -0.050000012f - 0.0035f * 10.0f);
}

TEST_F(TimelineLayout, ThreeCopiesWallAndSqueezedCopy) {
    EXPECT_EQ(particleLayoutAt(129.0f), ParticleLayout::ThreeCopies);
    EXPECT_EQ(particleLayoutAt(130.0f), ParticleLayout::ThreeCopies);
    EXPECT_EQ(particleLayoutAt(130.01f), ParticleLayout::Wall);
    EXPECT_NEAR(wallPlacementAt(130.01f).items[0].a, -14.99f, 0.01f);
    EXPECT_EQ(particleLayoutAt(142.3f), ParticleLayout::Wall);
    EXPECT_EQ(particleLayoutAt(142.31f), ParticleLayout::Squeezed);
    EXPECT_TRUE(lineCopiesShown(26.6f));
    EXPECT_FALSE(lineCopiesShown(30.0f));
    EXPECT_TRUE(lineCopiesShown(45.0f));
}

TEST_F(TimelineBlobSwitch, RaisedAbove9105LoweredAbove130NeverBySeekingBack) {
    blobActive = 0;
    updateBlobSwitch(91.05f);
    EXPECT_EQ(blobActive, 0);
    updateBlobSwitch(91.06f);
    EXPECT_EQ(blobActive, 1);
    updateBlobSwitch(0.0f);
    EXPECT_EQ(blobActive, 1) << "a seek back keeps the blob section";
    updateBlobSwitch(130.0f);
    EXPECT_EQ(blobActive, 1);
    updateBlobSwitch(130.01f);
    EXPECT_EQ(blobActive, 0);
}

TEST_F(TimelineFades, LayersShownStrictlyInsideTheirTimes) {
    EXPECT_FALSE(creditsShownAt(155.0f));
    EXPECT_TRUE(creditsShownAt(155.01f));
    EXPECT_FALSE(endLogoShownAt(200.0f));
    EXPECT_TRUE(endLogoShownAt(200.01f));
    EXPECT_TRUE(introShownAt(25.49f));
    EXPECT_FALSE(introShownAt(25.5f));
}

TEST_F(TimelineFades, CreditsEndLogoAndParticleTint) {
    creditsAlpha = 0.0f;
    runFrames(155.0f, 175.0f, 50.0f, [](float t, float d) { updateCreditsFade(t, d); });
    EXPECT_NEAR(creditsAlpha, 0.6f, 0.002f);
    runFrames(175.0f, 195.0f, 50.0f, [](float t, float d) { updateCreditsFade(t, d); });
    EXPECT_NEAR(creditsAlpha, 0.0f, 0.002f);
    runFrames(195.0f, 196.0f, 50.0f, [](float t, float d) { updateCreditsFade(t, d); });
    EXPECT_EQ(creditsAlpha, 0.0f) << "never below zero";

    endLogoAlpha = 0.0f;
    particleTint = 1.0f;
    runFrames(200.0f, 217.0f, 50.0f, [](float t, float d) { updateEndLogoFade(t, d); });
    EXPECT_NEAR(endLogoAlpha, 0.255f, 0.002f);
    EXPECT_NEAR(particleTint, 0.0f, 0.001f) << "dark by about 216.9 s";
    runFrames(217.0f, 223.5f, 50.0f, [](float t, float d) { updateEndLogoFade(t, d); });
    EXPECT_EQ(endLogoAlpha, 0.0f);
    EXPECT_EQ(particleTint, 0.0f);
}

TEST_F(TimelineIntro, OneImagePerBeatThenImage15Held) {
    introFrameIndex = 2;
    lastIntroBeat = 0;
    introPulse = 0.0f;
    runFrames(0.0f, 10.0f, 60.0f, [](float t, float) { updateIntro(t); });
    EXPECT_EQ(introFrameIndex, 14);
    EXPECT_GT(introPulse, 0.0f);
    runFrames(10.0f, 25.4f, 60.0f, [](float t, float) { updateIntro(t); });
    EXPECT_EQ(introFrameIndex, 15);
    const float pulse = introPulse;
    updateIntro(24.6f);
    EXPECT_EQ(introFrameIndex, 15);
    EXPECT_LT(introPulse, pulse) << "no new beat after 24.5 s, the pulse keeps decaying";
}

TEST_F(TimelineOverlay, PlacedOnNewBeatsAfter25Seconds) {
    lastOverlayBeat = 0;
    overlayOffset = {0.0f, 0.0f, 0.0f};
    demoClock.time = 25.0f;
    rollOverlayBeat();
    EXPECT_EQ(lastOverlayBeat, 0) << "no placement at 25 exactly";
    demoClock.time = 25.05f;
    rollOverlayBeat();
    EXPECT_EQ(lastOverlayBeat, beatIndexAt(25.05f));
    EXPECT_LE(overlayOffset[0], 0.0f);
    EXPECT_GE(overlayOffset[0], -1.8f);
    EXPECT_LE(overlayOffset[2], 0.0f);
    EXPECT_GE(overlayOffset[2], -0.1f);
    EXPECT_LE(overlayTurn, 0.0f);
    const auto placed = overlayOffset;
    demoClock.time = 25.1f;
    rollOverlayBeat();
    EXPECT_EQ(overlayOffset, placed) << "same beat, same place";
    EXPECT_FLOAT_EQ(overlayDriftAt(140.0f), -0.42f);
    EXPECT_EQ(overlayJumpAt(140.0f), 0.0f) << "the jump comes strictly after 140 s";
    EXPECT_EQ(overlayJumpAt(140.01f), 0.42f);
}

// A run from --start gets the state the frames before it would have left. Taken as one
// first step, the start time ran 25 S fluid steps on one square: the fluid blew up from
// about 176 s on and the particles vanished; and every fade jumped to its end.
TEST_F(TimelinePreroll, LateStartKeepsTheFluidFiniteAndTheFadesPartWay) {
    struct Case {
        float start, credits, logo, tint;
        int blob;
    };
    for (const Case& c : {Case{10.0f, 0.0f, 0.0f, 1.0f, 0}, Case{100.0f, 0.0f, 0.0f, 1.0f, 1},
                          Case{180.0f, 0.45f, 0.0f, 1.0f, 0}, Case{210.0f, 0.0f, 0.15f, 0.41f, 0}}) {
        std::fill_n(fluidGrid.obstacle, kCellCount, 0);
        resetSimulation();
        creditsAlpha = endLogoAlpha = 0.0f;
        particleTint = 1.0f;
        lineVertexCount = 1249.0f;
        blobActive = obstaclesCleared = 0;
        fluidStepCarry = 0.0f;
        introFrameIndex = 2;
        lastIntroBeat = 0;
        prerollTimeline(c.start);
        EXPECT_EQ(demoClock.time, c.start);
        EXPECT_EQ(demoClock.delta, 0.0f);
        EXPECT_TRUE(std::all_of(fluidGrid.velocityX, fluidGrid.velocityX + kCellCount,
                                [](float v) { return std::isfinite(v) && std::abs(v) < 0.5f; }))
            << "start " << c.start;
        EXPECT_NEAR(creditsAlpha, c.credits, 0.01f) << "start " << c.start;
        EXPECT_NEAR(endLogoAlpha, c.logo, 0.01f) << "start " << c.start;
        EXPECT_NEAR(particleTint, c.tint, 0.01f) << "start " << c.start;
        EXPECT_EQ(blobActive, c.blob) << "start " << c.start;
        if (c.start == 10.0f) {
            EXPECT_EQ(introFrameIndex, 14);
        }
        if (c.start == 210.0f) {
            EXPECT_EQ(lineVertexCount, 0.0f);
        }
    }
}
