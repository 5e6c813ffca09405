// One displayed frame: the ticks due, then every stage of the drawing in order, timed for
// the statistics.
#include "timeline/frame.h"

#include "base/config.h"
#include "base/demo_clock.h"
#include "base/frame_stats.h"
#include "base/gl.h"
#include "render/post_processing.h"
#include "render/render_targets.h"
#include "render/views.h"
#include "timeline/between_ticks.h"
#include "timeline/blob_scene.h"
#include "timeline/blob_step.h"
#include "timeline/compose.h"
#include "timeline/fluid_stage.h"
#include "timeline/scene_switch.h"
#include "timeline/tick.h"

namespace {

// The snapshot of a tick is drawn as soon as the tick has run, before later ticks change
// the scene, so it shows that moment at any frame rate.
void runTickAndSnapshot(const TickInput& tick) {
    if (runTick(tick).blobSnapshotDue) drawBlobSnapshot(tick.time);
}

// The ticks due at the frame's time, the state before the last of them kept; returns how
// many ran and leaves the frame's share between the last two ticks in `share`.
int runFrameTicks(float& share) {
    share = 1.0f;
    if (demoClock.frameSteps) {
        // One step of the rules per drawn frame, at its time and with its delta; the frame
        // draws what it left.
        rememberTickState(demoSoftBodies());
        runTickAndSnapshot(TickInput{demoClock.time, demoClock.delta, demoClock.paused != 0});
        return 1;
    }
    const TickPlan plan = planFrameTicks(demoClock);
    const std::int64_t end = plan.first + plan.count;
    for (std::int64_t k = plan.first; k < end; ++k) {
        if (k == end - 1 && plan.pausedTicks == 0) rememberTickState(demoSoftBodies());
        runTickAndSnapshot(demoTick(k));
    }
    // While paused the particles move on at the held time, one step a tick of the source's
    // time, and whatever decays per tick decays; the frame draws the latest of them.
    for (std::int64_t i = 0; i < plan.pausedTicks; ++i) {
        if (i == plan.pausedTicks - 1) rememberTickState(demoSoftBodies());
        runTickAndSnapshot(TickInput{demoClock.time, 0.0f, true});
    }
    // The last demo tick ran at or after the frame's time: the frame lies between it and
    // the one before.
    if (demoClock.paused == 0 && plan.pausedTicks == 0) share = blendBetweenTicks(demoClock.time, demoClock.nextTick - 1);
    return static_cast<int>(plan.count + plan.pausedTicks);
}

}  // namespace

void prerollTimeline(float startTime) {
    // A snapshot comes every glitch period: the last one before the start lies in the
    // last two seconds.
    constexpr float kSnapshotWindow = 2.0f;
    runTicksBefore(startTime, drawBlobSnapshot, kSnapshotWindow);
    demoClock.time = startTime;
    demoClock.heldTime = startTime;
    demoClock.delta = 0.0f;
    restartTicksAt(demoClock, startTime);
}

void runFrame() {
    const float t = demoClock.time;
    float share = 1.0f;
    frameStats.countTicks(runFrameTicks(share));
    buildFrameView(share, demoSoftBodies());
    frameStats.lap(FrameStage::Ticks);
    glUseProgram(0);
    setPerspectiveView();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // The particle image: twice the picture size, under the look-at saved here.
    glViewport(0, 0, 2 * screen.screenWidth, 2 * screen.screenHeight);
    glPointSize(1.0f);
    glLineWidth(1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glPushMatrix();
    // The set-up above (the window clear among it) is no stage's work.
    frameStats.skip();
    moveCamera(t);
    driftCamera(t);
    renderParticleImage(t);
    frameStats.lap(FrameStage::Particles);

    // The picture: the scene target at the picture size, back at the look-at.
    bindWindowFramebuffer();
    glViewport(0, 0, screen.screenWidth, screen.screenHeight);
    bindRenderTarget(targets.sceneTarget);
    glPopMatrix();
    glPushMatrix();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_COLOR, GL_ONE_MINUS_SRC_ALPHA);
    glPopMatrix();
    switch (shownScene()) {
        case Scene::BlobSection: composeBlobSection(t); break;
        case Scene::Layers: composeLayers(t); break;
    }
    frameStats.lap(FrameStage::Composition);

    applyPostProcessing(t);
    frameStats.lap(FrameStage::PostProcessing);
}
