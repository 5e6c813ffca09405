// The blob scene's time-driven decisions: beats, bars, glitch periods and snapshots,
// the camera keys, the drive after 104.05 s and the physics sub-step plan.
#include <gtest/gtest.h>

#include <cmath>

#include "fluid/random.h"
#include "softbody/blob_scene.h"
#include "testing/softbody_models.h"

TEST(BlobTiming, PeriodsCountFromZero) {
    EXPECT_EQ(periodIndex(103.5f, 0.81f), 127);
    EXPECT_EQ(periodIndex(103.5f, 4.05f), 25);
    EXPECT_EQ(periodIndex(103.5f, 1.62f), 63);
    EXPECT_EQ(periodIndex(-0.1f, 0.81f), -1);
    EXPECT_EQ(periodIndex(1e30f, 0.81f), INT_MAX);
    EXPECT_EQ(periodIndex(NAN, 0.81f), INT_MIN);
}

TEST(BlobTiming, PulsesStartOnBeatsAndBarsAfter103) {
    BlobTiming state;
    advanceBlobTiming(state, 102.9f, 0.0f);
    EXPECT_EQ(state.beatPulse, 0.0f);
    EXPECT_EQ(state.lastBeatIndex, 0);

    advanceBlobTiming(state, 103.5f, 0.0f);  // new beat 127 and new bar 25, then one decay
    EXPECT_EQ(state.lastBeatIndex, 127);
    EXPECT_EQ(state.lastBarIndex, 25);
    EXPECT_FLOAT_EQ(state.beatPulse, 0.1f / 1.05f);
    EXPECT_FLOAT_EQ(state.beatPulseStrong, 0.2f / 1.1f);
    EXPECT_FLOAT_EQ(state.barPulse, 0.2f / 1.1f);

    // Same beat: only the per-frame decay.
    advanceBlobTiming(state, 103.6f, 0.0f);
    EXPECT_FLOAT_EQ(state.beatPulse, 0.1f / 1.05f / 1.05f);
    EXPECT_FLOAT_EQ(state.barPulse, 0.2f / 1.1f / 1.1f);

    // Next beat (128 starts at 103.68) inside the same bar: the bar pulse keeps decaying.
    advanceBlobTiming(state, 103.7f, 0.0f);
    EXPECT_EQ(state.lastBeatIndex, 128);
    EXPECT_FLOAT_EQ(state.beatPulse, 0.1f / 1.05f);
    EXPECT_FLOAT_EQ(state.barPulse, 0.2f / 1.1f / 1.1f / 1.1f);

    // Next bar at 105.3.
    advanceBlobTiming(state, 105.31f, 0.0f);
    EXPECT_EQ(state.lastBarIndex, 26);
    EXPECT_FLOAT_EQ(state.barPulse, 0.2f / 1.1f);
}

TEST(BlobTiming, GlitchRestartsEachPeriodAndFadesWithDelta) {
    BlobTiming state;
    EXPECT_FLOAT_EQ(state.glitchAmount, 0.1f);
    // A new period before 103.6 s: glitch 1, but no snapshot yet.
    EXPECT_FALSE(advanceBlobTiming(state, 95.0f, 0.016f));
    EXPECT_EQ(state.lastGlitchPeriod, 58);
    EXPECT_EQ(state.glitchAmount, 1.0f);
    EXPECT_FALSE(advanceBlobTiming(state, 95.1f, 0.1f));
    EXPECT_FLOAT_EQ(state.glitchAmount, 1.0f - 0.005f);

    // After 103.6 s the first frame of a period takes the snapshot (period 64 at 103.68).
    EXPECT_FALSE(advanceBlobTiming(state, 103.0f, 0.02f));  // period 63 starts before 103.6
    EXPECT_FALSE(advanceBlobTiming(state, 103.65f, 0.02f));
    EXPECT_TRUE(advanceBlobTiming(state, 103.7f, 0.02f));
    EXPECT_EQ(state.lastGlitchPeriod, 64);
    // Paused (delta 0): the amount stays exactly 1, so every paused frame snapshots again.
    EXPECT_TRUE(advanceBlobTiming(state, 103.7f, 0.0f));
    EXPECT_TRUE(advanceBlobTiming(state, 103.7f, 0.0f));
    // Running on: it fades and the snapshot stops.
    EXPECT_FALSE(advanceBlobTiming(state, 103.72f, 0.02f));
    EXPECT_LT(state.glitchAmount, 1.0f);
}

TEST(BlobTiming, StripShiftsFollowSeed532) {
    seedRandom(532);
    const float first = stripShift(1.0f);
    seedRandom(532);
    EXPECT_EQ(stripShift(1.0f), first);
    seedRandom(532);
    EXPECT_FLOAT_EQ(stripShift(0.1f), first * 0.1f);
    for (int i = 0; i < 100; ++i) {
        const float s = stripShift(1.0f);
        EXPECT_GE(s, -0.5f);
        EXPECT_LE(s, 0.5f);
    }
}

TEST(BlobTiming, CameraKeys) {
    Camera cam{9, 9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_FALSE(applyCameraKeys(103.4f, cam));
    EXPECT_EQ(cam.eyex, 0.62f);
    EXPECT_EQ(cam.centerY, 0.5f);
    EXPECT_EQ(cam.upy, 1.0f);

    cam = Camera{9, 9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_TRUE(applyCameraKeys(103.5f, cam));  // the key with the extra translate
    EXPECT_EQ(cam.eyey, 0.35f);
    EXPECT_EQ(cam.eyez, 0.5f);

    EXPECT_FALSE(applyCameraKeys(104.5f, cam));
    EXPECT_EQ(cam.eyex, 0.47f);
    EXPECT_EQ(cam.eyey, 0.325f);
    EXPECT_EQ(cam.eyez, 0.125f);
    EXPECT_EQ(cam.centerX, 0.7f);
    EXPECT_EQ(cam.centerZ, -0.7f);
    EXPECT_EQ(cam.upy, 1.05f);
    EXPECT_EQ(cam.upz, 0.025f);

    // From 106 s the camera belongs to whoever moves it (the developer keys).
    cam.eyex = 1.234f;
    EXPECT_FALSE(applyCameraKeys(106.0f, cam));
    EXPECT_EQ(cam.eyex, 1.234f);

    setStartCamera();
    EXPECT_EQ(camera.eyex, 0.57f);
    EXPECT_EQ(camera.centerZ, -0.075f);
    EXPECT_EQ(camera.upz, 0.125f);
}

TEST(BlobTiming, DriveAndPressureAfter104_05) {
    EXPECT_FALSE(sidewaysDrive(104.05f));  // strict: 104.05 itself is still before
    EXPECT_TRUE(sidewaysDrive(104.06f));
    EXPECT_EQ(pressureAmplitude(100.0f), 20000.0f);
    EXPECT_EQ(pressureAmplitude(110.0f), 800550.0f);
    // (sin(t * rate * 0.6 + phase) + 1) * amplitude.
    EXPECT_FLOAT_EQ(bodyPressure(0, 0.0f, 20000.0f, false), 20000.0f);
    EXPECT_FLOAT_EQ(bodyPressure(1, 0.0f, 20000.0f, false), (std::sin(2.1f) + 1) * 20000.0f);
    EXPECT_FLOAT_EQ(bodyPressure(2, 0.0f, 20000.0f, false), (std::sin(6.12f) + 1) * 20000.0f);
    EXPECT_FLOAT_EQ(bodyPressure(2, 0.0f, 20000.0f, true), (std::sin(0.62f) + 1) * 20000.0f);
    EXPECT_FLOAT_EQ(bodyPressure(0, 0.01f, 1.0f, false), std::sin(0.54f) + 1);
    EXPECT_FLOAT_EQ(bodyPressure(1, 0.01f, 1.0f, false), std::sin(0.552f + 2.1f) + 1);
}

TEST(BlobTiming, SubStepPlan) {
    // 60 fps: one full sub-step and a remainder of the whole budget.
    const SoftStepPlan frame = planSoftSteps(1.0f / 60.0f);
    EXPECT_EQ(frame.subSteps, 1);
    EXPECT_FLOAT_EQ(frame.remainder, 1.0f / 60.0f * 0.0004f);
    // A budget of 0.002 s: three sub-steps, the last overshooting by 0.00025.
    const SoftStepPlan big = planSoftSteps(5.0f);
    EXPECT_EQ(big.subSteps, 3);
    EXPECT_NEAR(big.remainder, 0.0005f, 1e-7f);
    // No time passing: no sub-step, one remainder step of a full sub-step.
    const SoftStepPlan still = planSoftSteps(0.0f);
    EXPECT_EQ(still.subSteps, 0);
    EXPECT_FLOAT_EQ(still.remainder, 0.00075f);
    // Time moved back a little: a shorter remainder.
    EXPECT_NEAR(planSoftSteps(-1.0f).remainder, 0.00035f, 1e-7f);
    // Moved back more than 1.875 s: never a step backwards.
    EXPECT_EQ(planSoftSteps(-10.0f).remainder, 0.0f);
    // A wild jump is bounded.
    const SoftStepPlan wild = planSoftSteps(1e9f);
    EXPECT_EQ(wild.subSteps, kMaxSoftSubSteps);
    EXPECT_LE(wild.remainder, 0.00075f);
}

TEST(BlobTiming, StepBodiesDrivesAllThree) {
    const AscModel tet = softtest::tetrahedron();
    CSoftObject a(tet, Vector3{1.5f, 0, 0}, 0.85f, 1, 1e6f, 480, 0);
    CSoftObject b(tet, Vector3{4.5f, 0, -2}, 0.9f, 1, 1e6f, 480, 100204);
    CSoftObject c(tet, Vector3{-1, 0, -4}, 0.8f, 1, 1e6f, 480, 100204);
    float simTime = 0.0f;
    const float delta = 1.0f / 60.0f;
    stepBodies(a, b, c, 100.0f, delta, simTime);
    EXPECT_FLOAT_EQ(simTime, 0.00075f + delta * 0.0004f);
    EXPECT_EQ(a.gravity.x, 0.0f);  // the start gravity stays until 104.05 s
    // The remainder step's pressure: amplitude 20000 at the advanced simulation time.
    EXPECT_FLOAT_EQ(a.pressure, bodyPressure(0, 0.00075f, 20000.0f, true));
    EXPECT_FLOAT_EQ(c.pressure, bodyPressure(2, 0.00075f, 20000.0f, true));

    stepBodies(a, b, c, 104.1f, delta, simTime);
    EXPECT_EQ(a.gravity.x, 800.0f);
    EXPECT_EQ(a.gravity.y, -3500.0f);
    EXPECT_EQ(b.gravity.y, -3400.0f);
    EXPECT_EQ(c.gravity.y, -3400.0f);
    EXPECT_GT(b.pressure, 20000.0f * 2);  // the big amplitude
    for (const CSoftObject* body : {&a, &b, &c}) {
        // The gas only swells the body; as a whole it falls and drifts to +x.
        Vector3 mean{};
        for (const SoftParticle& p : body->particles) mean = mean + p.velocity * 0.25f;
        EXPECT_LT(mean.y, 0.0f);
        EXPECT_GT(mean.x, 0.0f);
        EXPECT_TRUE(std::isfinite(body->particles[0].position.x));
    }
}

TEST(BlobTiming, TimeJumpingBackLeavesTheBodiesWhole) {
    // A seek from 120 s to 0 s inside the section: delta -120 once.
    CSoftObject a(softtest::generatedBlob(), Vector3{1.5f, -4, 0}, 0.85f, 1, 1e6f, 480, 0);
    CSoftObject b = a, c = a;
    a.gravity = b.gravity = c.gravity = Vector3{0, -2500, 0};
    float simTime = 0.0f;
    for (int i = 0; i < 30; ++i) stepBodies(a, b, c, 100.0f, 1.0f / 60.0f, simTime);
    const double before = softtest::bodyEnergy(a);
    stepBodies(a, b, c, 0.0f, -120.0f, simTime);
    EXPECT_LE(softtest::bodyEnergy(a), before * 1.01 + 1.0);
    for (const SoftParticle& p : a.particles) EXPECT_TRUE(std::isfinite(p.position.y));
}

TEST(BlobTiming, StringPicksStayInRange) {
    seedRandom(111);
    const StringPicks first = pickStringPoints(162, 162, 162, 100000);
    seedRandom(111);
    const StringPicks again = pickStringPoints(162, 162, 162, 100000);
    EXPECT_EQ(first.a1, again.a1);
    EXPECT_EQ(first.f2, again.f2);
    seedRandom(3);
    for (int i = 0; i < 500; ++i) {
        const StringPicks p = pickStringPoints(4, 5, 6, 1);
        for (const int a : {p.a1, p.a2}) EXPECT_TRUE(a >= 0 && a < 4);
        for (const int b : {p.b1, p.b2}) EXPECT_TRUE(b >= 0 && b < 5);
        for (const int c : {p.c1, p.c2}) EXPECT_TRUE(c >= 0 && c < 6);
        EXPECT_EQ(p.f1, 0);
        EXPECT_EQ(p.f2, 0);
    }
    // No live fluid particle: no fluid points, but the same draws, so the next string's
    // body points do not move when the fluid empties.
    seedRandom(111);
    const StringPicks none = pickStringPoints(162, 162, 162, 0);
    EXPECT_EQ(none.f1, -1);
    EXPECT_EQ(none.f2, -1);
    EXPECT_EQ(none.c2, first.c2);
    const StringPicks nextNone = pickStringPoints(162, 162, 162, 0);
    seedRandom(111);
    pickStringPoints(162, 162, 162, 100000);
    const StringPicks nextLive = pickStringPoints(162, 162, 162, 100000);
    EXPECT_EQ(nextNone.a1, nextLive.a1);
    EXPECT_EQ(nextNone.c2, nextLive.c2);
}
