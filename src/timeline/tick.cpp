// The frame rules of one tick, and the ticks before a late start.
#include "timeline/tick.h"

#include "base/demo_clock.h"
#include "base/random.h"
#include "render/camera.h"
#include "sim/particles.h"
#include "timeline/blob_scene.h"
#include "timeline/blob_step.h"
#include "timeline/compose.h"
#include "timeline/fluid_stage.h"
#include "timeline/scene_switch.h"
#include "timeline/tuning.h"

TickEvents runTick(const TickInput& tick) {
    const float t = tick.time;
    TickEvents events;
    particles.particleImageTint = particles.particleTint;
    updateSceneSwitch(t);
    applyTuningSchedules(t);
    prepareFluid(t, tick.delta);
    applyCameraRules(t);
    if (!tick.paused && shownScene() == Scene::BlobSection) stepSoftBodies(t, tick.delta);
    stepParticles(t, tick.delta);
    applyDriftRules(t);
    applyLayoutRules(t, tick.delta);
    rollOverlayBeat(t);
    if (shownScene() == Scene::BlobSection) {
        events.blobSnapshotDue = advanceBlobTiming(blobScene.blobTiming, t, tick.delta);
        applyCameraKeyframes(t, camera);
        seedRandom(sharedGeneratorAfterBlobFrame(t));
    } else {
        updateLayers(t, tick.delta);
    }
    return events;
}

TickInput demoTick(std::int64_t k) { return TickInput{tickTime(k), tickDelta(k), false}; }

std::int64_t runTicksBefore(float startTime, void (*onSnapshot)(float time), float snapshotWindow) {
    const std::int64_t end = firstTickAtOrAfter(startTime);
    for (std::int64_t k = 0; k < end; ++k) {
        const TickInput tick = demoTick(k);
        const TickEvents events = runTick(tick);
        if (events.blobSnapshotDue && onSnapshot != nullptr && tick.time > startTime - snapshotWindow) {
            onSnapshot(tick.time);
        }
    }
    return end;
}
