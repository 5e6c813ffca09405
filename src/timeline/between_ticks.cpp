// The state of the last two ticks, and the frame's view blended between them.
#include "timeline/between_ticks.h"

#include <algorithm>

#include "timeline/blob_scene.h"
#include "timeline/layer_state.h"
#include "timeline/scene_switch.h"

TickHistory tickHistory;
FrameView frameView;

namespace {

void takePoseOrNone(const CSoftObject* body, SoftBodyPose& pose) {
    if (body != nullptr) {
        takePose(*body, pose);
    } else {
        pose.positions.clear();
        pose.normals.clear();
    }
}

}  // namespace

DrawnValues drawnValuesNow() {
    const BlobTiming& blob = blobScene.blobTiming;
    return DrawnValues{particles.particleImageTint,
                       particles.lineVertexCount,
                       layers.creditsAlpha,
                       layers.endLogoAlpha,
                       layers.introPulse,
                       blob.beatPulse,
                       blob.beatPulseStrong,
                       blob.barPulse,
                       blob.glitchAmount};
}

void rememberTickState(const SoftBodyRefs& bodies) {
    tickHistory.values = drawnValuesNow();
    tickHistory.particlePositions = particles.particlePositions;
    particles.particleJumped.fill(0);
    for (std::size_t k = 0; k < bodies.size(); ++k) takePoseOrNone(bodies[k], tickHistory.bodyPoses[k]);
    tickHistory.valid = true;
}

void forgetTickState() { tickHistory.valid = false; }

DrawnValues blendValues(const DrawnValues& before, const DrawnValues& after, float share) {
    if (!(share < 1.0f)) return after;
    auto blend = [share](float a, float b) { return blendBetween(a, b, share); };
    return DrawnValues{blend(before.particleImageTint, after.particleImageTint),
                       blend(before.lineVertexCount, after.lineVertexCount),
                       blend(before.creditsAlpha, after.creditsAlpha),
                       blend(before.endLogoAlpha, after.endLogoAlpha),
                       blend(before.introPulse, after.introPulse),
                       blend(before.beatPulse, after.beatPulse),
                       blend(before.beatPulseStrong, after.beatPulseStrong),
                       blend(before.barPulse, after.barPulse),
                       blend(before.glitchAmount, after.glitchAmount)};
}

void blendPositions(std::span<const ParticlePosition> before, std::span<const ParticlePosition> after,
                    std::span<const std::uint8_t> jumped, float share, std::span<ParticlePosition> out) {
    const std::size_t n = std::min(after.size(), out.size());
    const std::size_t blended = share < 1.0f ? std::min({n, before.size(), jumped.size()}) : 0;
    // Every coordinate as one flat run of floats, so the compiler makes vector code of the
    // loop; the few particles that jumped are put back afterwards.
    const float* const from = blended > 0 ? &before[0].x : nullptr;
    const float* const to = blended > 0 ? &after[0].x : nullptr;
    float* const into = blended > 0 ? &out[0].x : nullptr;
    for (std::size_t i = 0; i < 2 * blended; ++i) into[i] = blendBetween(from[i], to[i], share);
    for (std::size_t i = 0; i < blended; ++i) {
        if (jumped[i] != 0) out[i] = after[i];
    }
    std::copy(after.begin() + static_cast<std::ptrdiff_t>(blended), after.begin() + static_cast<std::ptrdiff_t>(n),
              out.begin() + static_cast<std::ptrdiff_t>(blended));
}

void buildFrameView(float share, const SoftBodyRefs& bodies) {
    if (!tickHistory.valid || !(share >= 0.0f)) share = 1.0f;
    frameView.blend = std::min(share, 1.0f);
    frameView.values = blendValues(tickHistory.values, drawnValuesNow(), frameView.blend);
    blendPositions(tickHistory.particlePositions, particles.particlePositions, particles.particleJumped,
                   frameView.blend, frameView.particlePositions);
    if (shownScene() == Scene::BlobSection) {
        for (std::size_t k = 0; k < bodies.size(); ++k) {
            takePoseOrNone(bodies[k], frameView.latestPoses[k]);
            blendPoses(tickHistory.bodyPoses[k], frameView.latestPoses[k], frameView.blend, frameView.bodyPoses[k]);
        }
    }
}
