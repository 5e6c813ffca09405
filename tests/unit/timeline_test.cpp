// The schedule's boundary times, the pulsing obstacle and the fluid steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "base/beat_grid.h"
#include "base/cue_times.h"
#include "sim/fluid.h"
#include "sim/particles.h"
#include "testing/fluid_support.h"
#include "timeline/compose.h"
#include "timeline/fluid_stage.h"
#include "timeline/layer_state.h"
#include "timeline/reset.h"
#include "timeline/scene_switch.h"

namespace {

int solidCount() { return static_cast<int>(std::count(fluidGrid.obstacle, fluidGrid.obstacle + kCellCount, 1)); }
bool solid(int x, int y) { return fluidGrid.obstacle[cellIndex(x, y)] == 1; }

// The state the timeline rules change is put back after every test: the fluid stage here,
// the layer state and the scene switch with the fluid's.
struct Timeline : ::testing::Test {
    ~Timeline() override { fluidStage = savedStage_; }
    fluidtest::SavedFluidState fluid_;
    const FluidStageState savedStage_ = fluidStage;
};

}  // namespace

TEST_F(Timeline, BoundaryTimes) {
    constexpr auto Layers = Scene::Layers, Blob = Scene::BlobSection;
    const struct {
        float t;
        int cameraMoves, driftMoves;
        float speed;
        int respawn;
        Scene scene;
        int credits, endLogo, intro, overlayJumped;
    } moments[] = {
        // t                        camera drift speed respawn scene credits logo intro jumped
        {kIntroEnd - 0.01f, 2, 2, 1.0f, 1, Layers, 0, 0, 1, 0},
        {kIntroEnd, 0, 2, 1.0f, 1, Layers, 0, 0, 0, 0},           // neither sweep nor twist
        {kTiltStart, 3, 2, 1.0f, 1, Layers, 0, 0, 0, 0},          // twist only
        {kTiltStart + 0.05f, 5, 2, 1.0f, 1, Layers, 0, 0, 0, 0},  // twist and tilt overlap
        {kTwistEnd, 2, 2, 1.0f, 1, Layers, 0, 0, 0, 0},
        {kCameraSettled, 0, 1, 1.0f, 0, Layers, 0, 0, 0, 0},
        {kCameraSettled + 5.0f, 0, 2, 0.15f, 0, Layers, 0, 0, 0, 0},
        {kWrapEnd, 0, 0, 1.0f, 0, Layers, 0, 0, 0, 0},
        {kWrapEnd + 1.5f, 0, 1, 0.25f, 0, Layers, 0, 0, 0, 0},
        {kBlobSceneStart, 0, 1, 0.25f, 0, Layers, 0, 0, 0, 0},
        {kBlobSceneStart + 0.01f, 0, 1, 0.25f, 0, Blob, 0, 0, 0, 0},
        {0.0f, 2, 2, 1.0f, 1, Blob, 0, 0, 1, 0},        // a seek back keeps the blob section
        {kSlideEnd, 0, 0, 0.25f, 0, Blob, 0, 0, 0, 0},  // the slide has ended
        {kWallStart, 0, 0, 0.25f, 0, Blob, 0, 0, 0, 0},
        {kWallStart + 0.01f, 0, 0, 0.25f, 0, Layers, 0, 0, 0, 0},
        {kOverlayJump, 0, 0, 0.25f, 0, Layers, 0, 0, 0, 0},
        {kOverlayJump + 0.01f, 0, 0, 0.25f, 0, Layers, 0, 0, 0, 1},
        {kCreditsIn, 0, 0, 0.25f, 0, Layers, 0, 0, 0, 1},
        {kCreditsIn + 0.01f, 0, 0, 0.25f, 0, Layers, 1, 0, 0, 1},
        {kEndLogoIn, 0, 0, 0.25f, 0, Layers, 1, 0, 0, 1},
        {kEndLogoIn + 0.01f, 0, 0, 0.25f, 0, Layers, 1, 1, 0, 1},
    };
    sceneSwitch.blobActive = 0;
    for (const auto& m : moments) {
        SCOPED_TRACE(m.t);
        fluidStage.particleSpeed = 1.0f;
        particles.respawnChance = 0.65f;
        updateSceneSwitch(m.t);
        applyCameraRules(m.t);
        applyDriftRules(m.t);
        EXPECT_EQ(cameraMovesAt(m.t).count, m.cameraMoves);
        EXPECT_EQ(driftMovesAt(m.t).count, m.driftMoves);
        EXPECT_EQ(fluidStage.particleSpeed, m.speed);
        EXPECT_EQ(particles.respawnChance, m.respawn == 1 ? 0.25f : 0.65f);
        EXPECT_EQ(shownScene(), m.scene);
        EXPECT_EQ(creditsShownAt(m.t), m.credits == 1);
        EXPECT_EQ(endLogoShownAt(m.t), m.endLogo == 1);
        EXPECT_EQ(introShownAt(m.t), m.intro == 1);
        EXPECT_EQ(overlayJumpAt(m.t), m.overlayJumped == 1 ? 0.42f : 0.0f);
    }
    // The overlay is placed anew on each new beat strictly after its cue.
    layers.lastOverlayBeat = 0;
    const float afterCue = kOverlayBeatsStart + 0.05f;
    for (const float t : {kOverlayBeatsStart.seconds(), afterCue, afterCue + 0.05f}) {
        rollOverlayBeat(t);
        EXPECT_EQ(layers.lastOverlayBeat, t > kOverlayBeatsStart ? beatIndexAt(afterCue) : 0) << t;
    }
}

// The copies the particle image draws, and so the drawParticles calls that lower the line
// budget.
TEST_F(Timeline, ParticlePasses) {
    constexpr auto Three = ParticleLayout::ThreeCopies, Wall = ParticleLayout::Wall;
    constexpr auto Squeezed = ParticleLayout::Squeezed;
    const struct {
        float t;
        ParticleLayout layout;
        int rows, columns, lineCopies, calls;
    } moments[] = {
        // t                        layout rows columns lines calls
        {kIntroEnd - 15.5f, Three, 1, 3, 2, 5},         // three copies side by side, two line copies beside them
        {kTiltStart, Three, 1, 3, 2, 5},                // the tilt starts after its cue
        {kTiltStart + 0.05f, Three, 1, 3, 0, 3},        // no line copies while the camera tilts
        {kCameraSettled, Three, 1, 3, 2, 5},            // and the tilt ends when the camera settles
        {kWallStart, Three, 1, 3, 2, 5},                // the wall comes after its cue
        {kWallStart + 0.01f, Wall, 12, 25, 2, 302},     // 12 rows of 25
        {kSqueezeStart, Wall, 12, 25, 2, 302},          // the squeezed copy comes after its cue
        {kSqueezeStart + 0.01f, Squeezed, 1, 1, 1, 2},  // the line copy lies over the squeezed copy
    };
    for (const auto& m : moments) {
        const ParticlePasses p = particlePassesAt(m.t);
        EXPECT_EQ(std::tuple(p.layout, p.rows, p.columns, p.lineCopies),
                  std::tuple(m.layout, m.rows, m.columns, m.lineCopies))
            << m.t;
        EXPECT_EQ(particleDrawCallsAt(m.t), m.calls) << m.t;
    }
}

TEST_F(Timeline, PulsingSquareAndFluidSteps) {
    std::fill_n(fluidGrid.obstacle, kCellCount, 0);
    fluidStage.obstaclesCleared = 0;
    EXPECT_EQ(pulsingSquareSize(std::nanf("")), 20) << "a broken clock never writes outside the grid";
    shapeObstacles(0.0f);
    EXPECT_EQ(solidCount(), 400);
    EXPECT_TRUE(solid(15, 15) && solid(34, 34) && !solid(14, 15));
    // Widest near sin(0.2 t) = -1: 34 cells in single precision, cells 8 to 41.
    shapeObstacles(23.56f);
    EXPECT_TRUE(solid(8, 8) && solid(41, 41) && !solid(7, 8) && !solid(42, 41));
    // As the square shrinks, only the central block is cleared: the ring stays solid.
    shapeObstacles(40.0f);
    EXPECT_TRUE(solid(8, 8) && solid(14, 30) && !solid(15, 15));
    applyDriftRules(kObstaclesFlushed + 0.5f);  // from here the drift clears every obstacle each tick
    EXPECT_EQ(solidCount(), 0);
    // From its cue the square is gone, cleared once per run.
    shapeObstacles(kObstacleGone - 33.0f);
    shapeObstacles(kObstacleGone);
    EXPECT_EQ(solidCount(), 0);
    fluidGrid.obstacle[0] = 1;
    shapeObstacles(kObstacleGone + 7.0f);
    EXPECT_EQ(solidCount(), 1);

    // Twenty-five fluid steps a second, whatever the frame rate.
    for (const float fps : {24.0f, 30.0f, 60.0f, 144.0f, 7.0f}) {
        fluidStage.fluidStepCarry = 0.0f;
        int steps = 0;
        for (int i = 0; i < static_cast<int>(fps * 40.0f); ++i) {
            const int n = fluidStepsForTick(1.0f / fps);
            ASSERT_LE(n, static_cast<int>(25.0f / fps) + 1) << fps << ": the carry adds at most one step";
            steps += n;
        }
        EXPECT_NEAR(steps, 1000, 2) << fps << " frames per second";
    }
    fluidStage.fluidStepCarry = 0.0f;
    EXPECT_EQ(fluidStepsForTick(0.0f), 0) << "no steps while paused";
    EXPECT_EQ(fluidStepsForTick(std::nanf("")), 0);
    EXPECT_EQ(fluidStepsForTick(1e30f), 25 * 86400) << "an absurd jump is bounded, not undefined";
}
