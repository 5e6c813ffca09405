// The blob section's rules that need no GL: glitch timing, sub-step plan, pulsing
// pressures, camera keyframes and the picks of the string ends.
#include "timeline/blob_scene.h"

#include <algorithm>
#include <cmath>

#include "base/beat_grid.h"

BlobSceneState blobScene;

bool advanceBlobTiming(BlobTiming& state, float time, float delta) {
    if (time > kBlobBeatsStart) {
        const int beat = beatIndexAt(time);
        const int bar = barIndexAt(time);
        if (beat > state.lastBeatIndex) {
            state.lastBeatIndex = beat;
            state.beatPulse = 0.1f;
            state.beatPulseStrong = 0.2f;
        }
        if (bar > state.lastBarIndex) {
            state.lastBarIndex = bar;
            state.barPulse = 0.2f;
        }
        // Per tick: the decay takes the same time at every frame rate.
        if (state.beatPulse > 0.0f) state.beatPulse = state.beatPulse / 1.05f;
        if (state.beatPulseStrong > 0.0f) state.beatPulseStrong = state.beatPulseStrong / 1.1f;
        if (state.barPulse > 0.0f) state.barPulse = state.barPulse / 1.1f;
    }
    const int period = periodIndex(time, kGlitchPeriod);
    state.glitchAmount = state.glitchAmount - delta * 0.05f;
    if (period > state.lastGlitchPeriod) {
        state.lastGlitchPeriod = period;
        state.glitchAmount = 1.0f;
    }
    return time > kBlobSnapshotsStart && state.glitchAmount == 1.0f;
}

float stripShift(float glitchAmount, RandomGenerator& random) { return (random.unit() - 0.5f) * glitchAmount; }

namespace {
std::uint32_t generatorStateAfter(std::uint32_t seed, int draws) {
    RandomGenerator random{seed};
    for (int i = 0; i < draws; ++i) random.next();
    return random.state;
}
}  // namespace

std::uint32_t sharedGeneratorAfterBlobFrame(float time) {
    // The strings come last: each of their three passes seeds 111 and draws eight picks a
    // string. Before them the strips, seeded 532, draw one shift each.
    static const std::uint32_t afterStrings = generatorStateAfter(kBlobStringSeed, 8 * kBlobStrings);
    static const std::uint32_t afterStrips = generatorStateAfter(kBlobStripSeed, kBlobStrips);
    return time > kBlobStringsStart ? afterStrings : afterStrips;
}

SoftStepPlan planSoftSteps(float delta) {
    const float budget = delta * kSoftBudgetPerSecond;
    float covered = 0.0f;
    int steps = 0;
    if (budget > 0.0f) {
        do {
            covered += kSoftSubStep;
            ++steps;
        } while (covered < budget && steps < kMaxSoftSubSteps);
    }
    const float rest = budget - (covered - kSoftSubStep);
    return SoftStepPlan{steps, std::clamp(rest, 0.0f, kSoftSubStep)};
}

bool sidewaysDrive(float time) { return time > kSidewaysDrive; }

float pressureAmplitude(float time) { return sidewaysDrive(time) ? 800550.0f : 20000.0f; }

float bodyPressure(int body, float simTime, float amplitude, bool remainderStep) {
    double phase = 0.0;
    float rate = 92.0f;
    switch (body) {
        case 0: rate = 90.0f; break;
        case 1: phase = 2.1; break;
        default: phase = remainderStep ? 0.62 : 6.12; break;
    }
    return static_cast<float>((std::sin(simTime * rate * 0.6 + phase) + 1.0) * amplitude);
}

void stepBodies(CSoftObject& a, CSoftObject& b, CSoftObject& c, float time, float delta, float& simTime) {
    if (sidewaysDrive(time)) {
        a.gravity = kSidewaysGravityA;
        b.gravity = kSidewaysGravityBC;
        c.gravity = kSidewaysGravityBC;
    }
    const float amplitude = pressureAmplitude(time);
    CSoftObject* const bodies[3] = {&a, &b, &c};
    const SoftStepPlan plan = planSoftSteps(delta);
    for (int step = 0; step < plan.subSteps; ++step) {
        for (int k = 0; k < 3; ++k) {
            bodies[k]->pressure = bodyPressure(k, simTime, amplitude, false);
            bodies[k]->simulate(RungeKutta4, kSoftSubStep);
        }
        simTime += kSoftSubStep;
    }
    for (int k = 0; k < 3; ++k) {
        bodies[k]->pressure = bodyPressure(k, simTime, amplitude, true);
        bodies[k]->simulate(RungeKutta4, plan.remainder);
    }
    simTime += plan.remainder;
}

void applyCameraKeyframes(float time, Camera& cam) {
    if (time < kCameraSecondKeyframe) {
        cam = Camera{0.62f, 0.35f, 0.5f, 0.6f, 0.5f, 0.0f, 0.0f, 1.0f, 0.0f};
    } else if (time < kCameraKeyframesEnd) {
        cam = Camera{0.47f, 0.325f, 0.125f, 0.7f, 0.525f, -0.7f, 0.0f, 1.05f, 0.025f};
    }
}

bool cameraKeyframeShiftedAt(float time) { return time >= kCameraShiftStart && time < kCameraSecondKeyframe; }

StringPicks pickStringPoints(int countA, int countB, int countC, int fluidCount, RandomGenerator& random) {
    StringPicks picks{};
    picks.a1 = random.pick(countA);
    picks.b1 = random.pick(countB);
    picks.a2 = random.pick(countA);
    picks.c1 = random.pick(countC);
    picks.b2 = random.pick(countB);
    picks.c2 = random.pick(countC);
    // Without a live fluid particle the two fluid picks are still drawn, so the body
    // picks of the later strings stay where they are; they are just not used.
    const int f1 = random.pick(std::max(fluidCount, 1));
    const int f2 = random.pick(std::max(fluidCount, 1));
    picks.f1 = fluidCount >= 1 ? f1 : -1;
    picks.f2 = fluidCount >= 1 ? f2 : -1;
    return picks;
}
