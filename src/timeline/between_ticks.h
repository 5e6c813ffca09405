// What a frame draws between two ticks. The ticks move the particles, the soft bodies, the
// fades and the pulses in steps of a sixtieth of a second; a display at another rate shows
// frames between two ticks, which draw those values blended at the frame's own time, so
// the motion advances in even steps. A frame at a tick's time draws that tick's state
// exactly. The ticks alone write the tick state; the drawing reads the frame's view.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "sim/particles.h"
#include "sim/soft_object.h"

// The values the drawing reads that ticks move a little at a time.
struct DrawnValues {
    float particleImageTint = 1.0f;
    float lineVertexCount = 0.0f;
    float creditsAlpha = 0.0f;
    float endLogoAlpha = 0.0f;
    float introPulse = 0.0f;
    float beatPulse = 0.0f;
    float beatPulseStrong = 0.0f;
    float barPulse = 0.0f;
    float glitchAmount = 0.0f;
};

inline constexpr int kSoftBodyCount = 3;  // A, B, C
// The bodies whose poses a frame draws; a null one has no pose.
using SoftBodyRefs = std::array<const CSoftObject*, kSoftBodyCount>;

// The state the tick before the latest one left, kept by the frame driver before it runs
// a frame's last tick.
struct TickHistory {
    bool valid = false;  // false until a tick has been remembered, and after a reset
    DrawnValues values;
    std::array<ParticlePosition, kMaxParticles> particlePositions{};
    std::array<SoftBodyPose, kSoftBodyCount> bodyPoses;
};
extern TickHistory tickHistory;

// What the frame draws: the tick state blended at `blend` between the tick before the
// latest (0) and the latest (1).
struct FrameView {
    float blend = 1.0f;
    DrawnValues values;
    std::array<ParticlePosition, kMaxParticles> particlePositions{};
    std::array<SoftBodyPose, kSoftBodyCount> bodyPoses;
    // The bodies as the latest tick left them; a snapshot of the blob section, drawn at its
    // tick, takes its poses here too. Kept so their storage lasts from frame to frame.
    std::array<SoftBodyPose, kSoftBodyCount> latestPoses;
};
extern FrameView frameView;

// The drawn values as the ticks have left them.
DrawnValues drawnValuesNow();
// Keeps the state before the next tick in tickHistory and clears the particles' jump flags,
// so after that tick they mark the particles that jumped in it.
void rememberTickState(const SoftBodyRefs& bodies);
// After a reset the state jumps: frames draw the latest state until a tick is remembered.
void forgetTickState();

// The values at `share` (0..1) of the way from `before` to `after`, exactly `after` at 1.
DrawnValues blendValues(const DrawnValues& before, const DrawnValues& after, float share);
// Positions at `share` of the way, each between its two ends; a particle marked in `jumped`
// (or with no entry there) is where `after` has it. `out` has the size of `after`; the spans
// may be of any sizes.
void blendPositions(std::span<const ParticlePosition> before, std::span<const ParticlePosition> after,
                    std::span<const std::uint8_t> jumped, float share, std::span<ParticlePosition> out);
// Fills frameView from tickHistory and the live state at `share`; without a remembered tick
// the frame draws the latest state.
void buildFrameView(float share, const SoftBodyRefs& bodies);
