// The blob section, kBlobSceneStart to kWallStart: three pulsing soft bodies on a floor, strings to
// each other and to fluid particles, glitched snapshot strips, and the whole picture
// inverted. The time-driven decisions are plain functions of time and state, so they run
// without a display; the drawing lives in blob_scene_gl.cpp, the physics frame in
// blob_step.cpp (the only place that touches the three global bodies besides the GL code).
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "base/cue_times.h"
#include "base/random.h"
#include "render/camera.h"
#include "sim/particles.h"
#include "sim/soft_object.h"

inline constexpr float kSoftSubStep = 0.00075f;
inline constexpr float kSoftBudgetPerSecond = 0.0004f;
// Enough for any clock jump inside the demo's 225 s (a jump of 225 s needs 120); keeps a
// wild delta from stalling a tick.
inline constexpr int kMaxSoftSubSteps = 400;

// The glitched snapshot is shown in this many strips; the seeds of the strips' shifts
// and of the string picks, taken anew every frame.
inline constexpr int kBlobStrips = 50;
inline constexpr std::uint32_t kBlobStripSeed = 532;
inline constexpr std::uint32_t kBlobStringSeed = 111;

// Beat, bar and glitch state; advances only while the section runs, nothing resets it.
struct BlobTiming {
    float beatPulse = 0.0f;        // set on each beat of the grid, then decays tick by tick
    float beatPulseStrong = 0.0f;  // the same, stronger and decaying faster
    float barPulse = 0.0f;         // set on each bar, then decays tick by tick
    int lastBeatIndex = 0;
    int lastBarIndex = 0;
    float glitchAmount = 0.1f;  // horizontal jitter of the snapshot strips
    int lastGlitchPeriod = 0;   // the glitch period counted last
};
// Each new period of this length (two beats) sets the glitch to full.
inline constexpr float kGlitchPeriod = 1.62f;

struct BlobSceneState {
    BlobTiming blobTiming;
    float softSimTime = 0.0f;  // simulation clock of the pressure oscillation
};
extern BlobSceneState blobScene;

// Pulses and glitch for one tick at time with its delta. True when the snapshot of the
// scene is to be redrawn at this tick (after kBlobSnapshotsStart, glitchAmount exactly 1).
bool advanceBlobTiming(BlobTiming& state, float time, float delta);

// Horizontal offset of one snapshot strip: (a draw / 32767 - 0.5) * glitchAmount.
float stripShift(float glitchAmount, RandomGenerator& random);

// The section's drawing draws its strip shifts and string picks from generators of its
// own, seeded every frame. It once drew them from the shared generator, so the particle
// respawns after a frame of the section drew from where that drawing left it: the
// shared generator's state after a frame of the section at time, which the ticks put back.
std::uint32_t sharedGeneratorAfterBlobFrame(float time);

// The physics of one tick: subSteps steps of kSoftSubStep and one remainder step.
struct SoftStepPlan {
    int subSteps = 0;
    float remainder = 0.0f;
};
// Budget delta * kSoftBudgetPerSecond; the sub-steps cover it, the remainder is what the
// last sub-step overshot subtracted from a full sub-step. The remainder is kept within
// [0, kSoftSubStep]: a clock that jumps back would otherwise ask for a step backwards in
// time, which the stiff springs turn into an explosion of the bodies.
SoftStepPlan planSoftSteps(float delta);

// Pressure amplitude and drive: 20000 until kSidewaysDrive, then 800550 and sideways gravity.
bool sidewaysDrive(float time);
float pressureAmplitude(float time);
inline constexpr Vector3 kSidewaysGravityA{800.0f, -3500.0f, 0.0f};
inline constexpr Vector3 kSidewaysGravityBC{800.0f, -3400.0f, 0.0f};

// Pressure of body 0 (A), 1 (B) or 2 (C) at simTime. Body C's phase is 6.12 in the
// sub-steps and 0.62 in the remainder step.
float bodyPressure(int body, float simTime, float amplitude, bool remainderStep);

// One tick of physics for three bodies at time with delta; advances simTime.
void stepBodies(CSoftObject& a, CSoftObject& b, CSoftObject& c, float time, float delta, float& simTime);

// The scene's camera keyframes at time (a tick of the section sets them). From
// kCameraKeyframesEnd the camera is left alone.
void applyCameraKeyframes(float time, Camera& cam);
// True when the extra translate (1, 1.7, 5.7) comes before the look-at: from
// kCameraShiftStart to below kCameraSecondKeyframe.
bool cameraKeyframeShiftedAt(float time);

// Particle picks of one string: bodies A, B, A, C, B, C, then two fluid particles.
// Fluid picks are -1 (and draw nothing) while no fluid particle is alive.
struct StringPicks {
    int a1, b1, a2, c1, b2, c2, f1, f2;
};
inline constexpr int kBlobStrings = 15;
StringPicks pickStringPoints(int countA, int countB, int countC, int fluidCount, RandomGenerator& random);

// What the section's drawing shows: the pulses, the bodies' poses (A, B, C) and the fluid
// particles. A frame shows its view between two ticks, a snapshot the state of its tick.
struct BlobLook {
    float beatPulse = 0.0f;
    float beatPulseStrong = 0.0f;
    float barPulse = 0.0f;
    std::array<const SoftBodyPose*, 3> bodyPoses{};
    std::span<const ParticlePosition> particlePositions;
};

// Everything here needs the globals of the demo.
void composeBlobSection(float time);  // blob_scene_gl.cpp
// Redraws the scene's snapshot, which the strips show until the next one.
void drawBlobSnapshot(float time);                                      // blob_scene_gl.cpp
void drawBlobScene(bool withOverlay, float time, const BlobLook& look);  // blob_scene_gl.cpp
void drawBlobStrings(const BlobLook& look);                             // blob_scene_gl.cpp
