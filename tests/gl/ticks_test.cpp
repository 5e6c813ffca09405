// The ticks before a late start, with the demo's own soft bodies (built from the run
// folder's mesh, so this lives with the tests that run there): every rule has run as a
// run from the start runs it, and the blob snapshot a frame at the start shows is asked for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>
#include <vector>

#include "sim/soft_bodies.h"
#include "testing/fluid_support.h"
#include "timeline/blob_scene.h"
#include "timeline/fluid_stage.h"
#include "timeline/layer_state.h"
#include "timeline/reset.h"
#include "timeline/scene_switch.h"
#include "timeline/tick.h"

namespace {

std::vector<float> snapshotTimes;
void recordSnapshot(float time) { snapshotTimes.push_back(time); }

// Everything the ticks change besides the fluid's state, put back after the test.
struct SavedTickState {
    LayerState layers = ::layers;
    SceneSwitch sceneSwitch = ::sceneSwitch;
    FluidStageState fluidStage = ::fluidStage;
    BlobSceneState blobScene = ::blobScene;
    SoftBodies softBodies = ::softBodies;
    void restore() const {
        ::layers = layers;
        ::sceneSwitch = sceneSwitch;
        ::fluidStage = fluidStage;
        ::blobScene = blobScene;
        ::softBodies = softBodies;
    }
};

}  // namespace

TEST(Ticks, ALateStartRunsEveryTickBefore) {
    fluidtest::SavedFluidState fluid;
    const SavedTickState saved;
    constexpr Scene Layers = Scene::Layers, Blob = Scene::BlobSection;
    const struct {
        float start, credits, logo, tint;
        Scene scene;
        int introImage;
        float lines;
        std::vector<float> snapshots;  // the snapshots of the last two seconds
    } cases[] = {
        {10.0f, 0.0f, 0.0f, 1.0f, Layers, 14, 1249.0f, {}},  // one intro image per beat
        {100.0f, 0.0f, 0.0f, 1.0f, Blob, 15, 1249.0f, {}},   // the last one held; no snapshots before 103.6 s
        {110.0f, 0.0f, 0.0f, 1.0f, Blob, 15, 1249.0f, {tickTime(6513)}},  // the first tick of 1.62 s period 67
        {180.0f, 0.45f, 0.0f, 1.0f, Layers, 15, 739.0f, {}},              // up to 0.6 at 175 s, then fading out
        {210.0f, 0.0f, 0.15f, 0.41f, Layers, 15, 0.0f, {}},
        {223.5f, 0.0f, 0.0f, 0.0f, Layers, 15, 0.0f, {}},  // fades out, never below zero; the particles dark
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        saved.restore();
        std::fill_n(fluidGrid.obstacle, kCellCount, 0);
        resetSimulation();
        particles.particleCount = 2000;  // the rules, not the particles' cost, are under test
        setStartGravity();
        layers.creditsAlpha = layers.endLogoAlpha = fluidStage.fluidStepCarry = 0.0f;
        particles.particleTint = 1.0f;
        particles.lineVertexCount = 1249.0f;
        snapshotTimes.clear();
        EXPECT_EQ(runTicksBefore(c.start, recordSnapshot, 2.0f), static_cast<std::int64_t>(c.start * 60.0f));
        EXPECT_EQ(snapshotTimes, c.snapshots);
        EXPECT_TRUE(std::all_of(fluidGrid.velocityX, fluidGrid.velocityX + kCellCount,
                                [](float v) { return std::isfinite(v) && std::abs(v) < 0.5f; }));
        EXPECT_NEAR(layers.creditsAlpha, c.credits, 0.01f);
        EXPECT_NEAR(layers.endLogoAlpha, c.logo, 0.01f);
        EXPECT_NEAR(particles.particleTint, c.tint, 0.01f);
        // The particle image is drawn with the tint from before the last tick's fade, as a
        // frame drew it before its layers faded.
        if (c.start == 210.0f) {
            EXPECT_EQ(particles.particleTint, particles.particleImageTint - 0.059f * tickDelta(12599));
        } else {
            EXPECT_EQ(particles.particleImageTint, particles.particleTint);
        }
        EXPECT_EQ(shownScene(), c.scene);
        EXPECT_EQ(layers.introFrameIndex, c.introImage);
        EXPECT_NEAR(particles.lineVertexCount, c.lines, 2.0f);
        // The soft bodies took a step each tick of the section, and stayed whole.
        const float simulated = blobScene.softSimTime - saved.blobScene.softSimTime;
        EXPECT_EQ(simulated > 0.0f, c.start > kBlobSceneStart) << simulated;
        for (const SoftParticle& p : softBodies.softBodyA.particles) ASSERT_TRUE(std::isfinite(p.position.y));
    }
    saved.restore();
}
