// Soft bodies (building, meshes refused, forces, integrators, floor and wrap) and the blob scene's time rules.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

#include "base/beat_grid.h"
#include "base/cue_times.h"
#include "base/random.h"
#include "sim/soft_object.h"
#include "timeline/blob_scene.h"

namespace {

// Regular tetrahedron about the origin, edge 2 sqrt(2), centre-to-corner sqrt(3), volume 8/3.
AscModel tetrahedron() {
    return {.fileName = "tetrahedron",
            .vertices = {1, 1, 1, 1, -1, -1, -1, 1, -1, -1, -1, 1},
            .faces = {0, 1, 2, 0, 3, 1, 0, 2, 3, 1, 3, 2}};
}

// A body whose springs and gas do nothing: every particle falls freely.
CSoftObject freeTetrahedron(float height, Vector3 gravity = Vector3{0, -10, 0}) {
    CSoftObject body(tetrahedron(), Vector3{0, height, 0}, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
    body.gravity = gravity;
    return body;
}

}  // namespace

TEST(SoftBodyModel, SpringsOncePerEdgeAndTheVolume) {
    const CSoftObject moved(tetrahedron(), Vector3{1.5f, -4.0f, 0.0f}, 0.85f, 2.0f, 10.0f, 1.0f, 7.0f);
    EXPECT_FLOAT_EQ(moved.particles[0].position.x, 2.35f);  // scaled, then placed
    EXPECT_EQ(moved.springs.size(), 6u);
    // Vertex 4 repeats vertex 0's place: its edges are matched by place, no new springs.
    AscModel seam = tetrahedron();
    seam.vertices.insert(seam.vertices.end(), {1, 1, 1});
    seam.faces[3] = 4;
    EXPECT_EQ(CSoftObject(seam, Vector3{}, 1, 1, 1, 0, 0).springs.size(), 6u);
    CSoftObject tet(tetrahedron(), Vector3{}, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f);
    tet.computeForces();
    EXPECT_NEAR(tet.volume, 2.0 * 0.999 * 8 / 3, 1e-5);  // twice the volume, 0.333 on three corners
}

using SoftBodyModelDeathTest = ::testing::Test;

TEST_F(SoftBodyModelDeathTest, FlatOpenAndBrokenMeshesAreRefused) {
    // A two-sided triangle is closed but flat; slanted, its volume terms cancel to noise.
    const auto twoSided = [](const char* name, std::vector<float> corners) {
        return AscModel{.fileName = name, .vertices = std::move(corners), .faces = {0, 1, 2, 0, 2, 1}};
    };
    AscModel lidless = tetrahedron();  // one face gone
    lidless.fileName = "lidless";
    lidless.faces.resize(9);
    AscModel doubled = tetrahedron();  // one face twice: its edges border three faces
    doubled.fileName = "doubled face";
    doubled.faces.insert(doubled.faces.end(), {0, 1, 2});
    AscModel badIndex = tetrahedron();
    badIndex.faces[5] = 4;
    const std::tuple<AscModel, Vector3, const char*> cases[] = {
        // mesh, placement, message
        {twoSided("flat", {0, 0, 0, 1, 0, 0, 1, 1, 0}), {}, "flat encloses no volume"},
        {twoSided("slanted", {0.7f, 0, 0, 1.3f, 1, 0, 5.1f, 0, 1}), {}, "slanted encloses no volume"},
        {lidless, {}, "lidless is not a closed surface"},
        {doubled, {}, "doubled face is not a closed surface"},
        {AscModel{.fileName = "empty", .vertices = {}, .faces = {}}, {}, "empty is not a closed surface"},
        {badIndex, {}, "Error with object file! \n"},
    };
    for (const auto& [model, at, message] : cases) {
        EXPECT_EXIT(dup2(STDERR_FILENO, STDOUT_FILENO);
                    CSoftObject(model, at, 1, 1, 1, 0, 0), ::testing::ExitedWithCode(1), message);
    }
}

TEST(SoftBodySimulation, DampingAndGasForces) {
    // Moving as one, springs and damping exert nothing; one corner moving out is held back.
    CSoftObject body(tetrahedron(), Vector3{0, 10, 0}, 1.0f, 1.0f, 1000.0f, 50.0f, 0.0f);
    for (SoftParticle& p : body.particles) p.velocity = Vector3{0.3f, -0.2f, 0.7f};
    body.computeForces();
    for (const SoftParticle& p : body.particles) EXPECT_NEAR(dot(p.force, p.force), 0.0f, 1e-6f);
    body.particles[0].velocity = Vector3{1, 1, 1};
    body.computeForces();
    EXPECT_LT(dot(body.particles[0].force, Vector3{1, 1, 1}), -10.0f);

    // The gas pushes every corner outwards: corner 0 has the vertex normal 0.333 (1, 1, 1) / sqrt(3)
    // and three faces of area measure 4 sqrt(3), each pushing 0.33 pressure / volume.
    CSoftObject gas(tetrahedron(), Vector3{2, 3, -1}, 1.0f, 1.0f, 1000.0f, 1.0f, 500.0f);
    gas.computeForces();
    for (const SoftParticle& p : gas.particles) EXPECT_GT(dot(p.force, p.position - Vector3{2, 3, -1}), 0.0f);
    EXPECT_NEAR(gas.particles[0].force.x, 0.333f * 12 * 0.33f * 500.0f / gas.volume, 1e-3f);

    // Crushed flat, with one zero-length spring: the gas does nothing rather than divide by 0.
    for (SoftParticle& p : body.particles) p.position = Vector3{p.position.x, p.position.y, 0.0f};
    body.particles[1].position = body.particles[0].position;
    body.pressure = 1e5f;
    body.computeForces();
    EXPECT_EQ(body.invVolume, 0.0f);
    body.simulate(RungeKutta4, 0.001f);
    body.simulate(RungeKutta4, NAN);
    for (const SoftParticle& p : body.particles) EXPECT_TRUE(std::isfinite(p.force.y) && std::isfinite(p.position.x));
}

TEST(SoftBodySimulation, IntegratorsFollowKnownMotions) {
    const float dt = 0.01f;
    const int steps = 50;
    const double t = dt * steps;
    // RK4 and midpoint integrate a constant acceleration exactly.
    for (const IntegratorKind kind : {Midpoint, RungeKutta4}) {
        CSoftObject body = freeTetrahedron(100.0f);
        for (int i = 0; i < steps; ++i) body.simulate(kind, dt);
        EXPECT_NEAR(body.particles[0].position.y, 101.0 - 5.0 * t * t, 1e-4) << kind;
        EXPECT_NEAR(body.particles[0].velocity.y, -10.0 * t, 1e-4) << kind;
    }
    // Euler takes the force of the last force pass (none yet at the start: improved Euler
    // averages it with the new one) and moves with the new velocity.
    CSoftObject euler = freeTetrahedron(100.0f), improved = freeTetrahedron(100.0f);
    euler.computeForces();
    for (int i = 0; i < steps; ++i) {
        euler.simulate(Euler, dt);
        improved.simulate(ImprovedEuler, dt);
    }
    EXPECT_NEAR(euler.particles[0].position.y, 101.0 - 5.0 * dt * dt * steps * (steps + 1), 1e-3);
    EXPECT_NEAR(improved.particles[0].velocity.y, -10.0 * (t - dt * 0.5), 1e-4);

    // Springs: each corner pushed out by delta0 feels 4 k delta back: delta0 cos(2 sqrt(k / m) t).
    const double rest = std::sqrt(3.0), delta0 = 0.05, k = 4.0;
    for (const auto& [kind, tolerance] : {std::pair{Midpoint, 2e-4}, std::pair{RungeKutta4, 2e-6}}) {
        CSoftObject body(tetrahedron(), Vector3{}, 1.0f, 1.0f, static_cast<float>(k), 0.0f, 0.0f);
        for (SoftParticle& p : body.particles) p.position = p.position * static_cast<float>((rest + delta0) / rest);
        for (int i = 0; i < 120; ++i) body.simulate(kind, 0.005f);
        EXPECT_NEAR(std::sqrt(dot(body.particles[0].position, body.particles[0].position)),
                    rest + delta0 * std::cos(2.0 * std::sqrt(k) * 0.6), tolerance)
            << kind;
    }
}

TEST(SoftBodySimulation, FloorBounceAndWrap) {
    // Kind 9 integrates nothing: only the floor and wrap pass runs, particle by particle.
    CSoftObject body = freeTetrahedron(10.0f, Vector3{});
    body.particles[0].position.x = 6.0f;  // x = 6 exactly does not wrap
    body.particles[1].position.y = -4.6f;
    body.particles[1].velocity = Vector3{1, -2, 3};
    body.particles[2].position = Vector3{6.5f, -4.5f, 0};  // on the floor: not bounced; wraps the body
    body.particles[2].velocity = Vector3{0, -1, 0};
    body.particles[3].position.y = -5.0f;  // after the wrap: not tested for the floor this step
    body.simulate(IntegratorKind(9), 0.01f);
    EXPECT_EQ(body.particles[1].position.y, -4.5f);
    EXPECT_FLOAT_EQ(body.particles[1].velocity.x, -0.8f);
    EXPECT_FLOAT_EQ(body.particles[1].velocity.y, 1.6f);
    EXPECT_FLOAT_EQ(body.particles[1].velocity.z, -2.4f);
    EXPECT_EQ(body.particles[2].velocity.y, -1.0f);
    EXPECT_EQ(body.particles[3].position.y, -5.0f);
    const float wrapped[] = {0.0f, -5.0f, 0.5f, -7.0f};  // every x shifted once by 6
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(body.particles[i].position.x, wrapped[i]) << i;
}

TEST(BlobTiming, PulsesOnBeatsAndBarsAndGlitchSnapshotsAfterTheirCues) {
    // A new 0.81 s beat starts a pulse of 0.1, a 4.05 s bar one of 0.2, divided by 1.05 and 1.1 each
    // frame; a new 1.62 s period sets the glitch to 1 (fading with delta), snapshotting after its cue.
    const auto pulse = [](float start, float divisor, float frames) { return start / std::pow(divisor, frames); };
    const struct {
        float t, delta;
        bool snapshot;
        float beat, bar, glitch;
    } frames[] = {
        {kBlobBeatsStart - 8.0f, 0.016f, false, 0.0f, 0.0f, 1.0f},
        {kBlobBeatsStart - 0.1f, 0.0f, false, 0.0f, 0.0f, 1.0f},  // period 63; no pulses before the cue
        {103.5f, 0.0f, false, pulse(0.1f, 1.05f, 1), pulse(0.2f, 1.1f, 1), 1.0f},  // beat 127, bar 25
        {kBlobSnapshotsStart, 0.0f, false, pulse(0.1f, 1.05f, 2), pulse(0.2f, 1.1f, 2), 1.0f},
        {103.65f, 0.02f, false, pulse(0.1f, 1.05f, 3), pulse(0.2f, 1.1f, 3), 0.999f},
        {103.7f, 0.02f, true, pulse(0.1f, 1.05f, 1), pulse(0.2f, 1.1f, 4), 1.0f},  // beat 128, period 64
        {103.7f, 0.0f, true, pulse(0.1f, 1.05f, 2), pulse(0.2f, 1.1f, 5), 1.0f},   // paused: again
        {103.72f, 0.02f, false, pulse(0.1f, 1.05f, 3), pulse(0.2f, 1.1f, 6), 0.999f},
        {105.31f, 0.0f, true, pulse(0.1f, 1.05f, 1), pulse(0.2f, 1.1f, 1), 1.0f},  // bar 26, period 65
    };
    BlobTiming state;
    for (const auto& f : frames) {
        SCOPED_TRACE(f.t);
        EXPECT_EQ(advanceBlobTiming(state, f.t, f.delta), f.snapshot);
        EXPECT_FLOAT_EQ(state.beatPulse, f.beat);
        EXPECT_FLOAT_EQ(state.barPulse, f.bar);
        EXPECT_FLOAT_EQ(state.glitchAmount, f.glitch);
    }
}

TEST(BlobTiming, PeriodsCameraKeyframesDriveAndPressure) {
    const std::pair<float, int> periods[] = {{103.5f, 127}, {-0.1f, -1}, {1e30f, INT_MAX}, {NAN, INT_MIN}};
    for (const auto& [t, index] : periods) EXPECT_EQ(periodIndex(t, kBeatLength), index) << t;
    // The extra translate from its start to below the second keyframe; after the keyframes
    // the camera is left alone.
    for (const float t : {kCameraShiftStart - 0.1f, kCameraShiftStart.seconds(), kCameraSecondKeyframe - 0.01f,
                          kCameraSecondKeyframe.seconds(), kCameraKeyframesEnd.seconds()}) {
        Camera cam{};
        applyCameraKeyframes(t, cam);
        EXPECT_EQ(cameraKeyframeShiftedAt(t), t >= kCameraShiftStart && t < kCameraSecondKeyframe) << t;
        EXPECT_EQ(cam.upy != 0.0f, t < kCameraKeyframesEnd) << t;
    }
    EXPECT_FALSE(sidewaysDrive(kSidewaysDrive));  // strict: the cue itself is still before
    EXPECT_EQ(pressureAmplitude(kSidewaysDrive + 0.01f), 800550.0f);
    // Body C's pressure phase is 6.12 in the sub-steps, 0.62 in the remainder step.
    EXPECT_FLOAT_EQ(bodyPressure(2, 0.0f, 1.0f, false), std::sin(6.12f) + 1);
    EXPECT_FLOAT_EQ(bodyPressure(2, 0.0f, 1.0f, true), std::sin(0.62f) + 1);
}

TEST(BlobTiming, SubStepPlan) {
    const std::tuple<float, int, float> cases[] = {
        // delta, sub-steps, remainder
        {1.0f / 60.0f, 1, 1.0f / 60.0f * 0.0004f},  // one sub-step, the remainder the whole budget
        {5.0f, 3, 0.0005f},                         // budget 0.002: the last sub-step overshoots by 0.00025
        {0.0f, 0, 0.00075f},                        // no time passing: a remainder of a full sub-step
        {-1.0f, 0, 0.00035f},                       // time moved back a little: a shorter one
        {-10.0f, 0, 0.0f},                          // never a step backwards
        {1e9f, kMaxSoftSubSteps, 0.00075f},         // a wild jump is bounded
    };
    for (const auto& [delta, subSteps, remainder] : cases) {
        EXPECT_EQ(planSoftSteps(delta).subSteps, subSteps) << delta;
        EXPECT_NEAR(planSoftSteps(delta).remainder, remainder, 1e-7f) << delta;
    }
}

TEST(BlobTiming, PhysicsFrameDrivesAllThree) {
    CSoftObject a(tetrahedron(), Vector3{1.5f, 0, 0}, 0.85f, 1, 1e6f, 480, 0);
    CSoftObject b = a, c = a;
    float simTime = 0.0f;
    stepBodies(a, b, c, 100.0f, 1.0f / 60.0f, simTime);
    EXPECT_FLOAT_EQ(simTime, 0.00075f + 0.0004f / 60.0f);  // one sub-step and the remainder
    EXPECT_EQ(a.gravity.x, 0.0f);                          // the start gravity stays until the drive
    // The remainder step's pressure: amplitude 20000 at the advanced simulation time.
    EXPECT_FLOAT_EQ(c.pressure, bodyPressure(2, 0.00075f, 20000.0f, true));
    stepBodies(a, b, c, kSidewaysDrive + 0.05f, 1.0f / 60.0f, simTime);
    EXPECT_GT(b.pressure, 20000.0f * 2);  // the big amplitude
    Vector3 mean{};                       // as a whole it falls and drifts to +x
    for (const SoftParticle& p : b.particles) mean = mean + p.velocity;
    EXPECT_TRUE(mean.y < 0.0f && mean.x > 0.0f);
}

TEST(BlobTiming, StringPicksWithoutFluidKeepTheDraws) {
    // No live fluid particle: no fluid points, but the same draws, so the next string stays.
    RandomGenerator random{111};
    pickStringPoints(162, 162, 162, 100000, random);
    const StringPicks live = pickStringPoints(162, 162, 162, 100000, random);
    random = RandomGenerator{111};
    const StringPicks none = pickStringPoints(162, 162, 162, 0, random);
    EXPECT_TRUE(none.f1 == -1 && none.f2 == -1);
    const StringPicks next = pickStringPoints(162, 162, 162, 0, random);
    EXPECT_TRUE(next.a1 == live.a1 && next.c2 == live.c2);
}

// The ticks put the shared generator where the section's drawing, which once shared it,
// left it: after the strings' picks once they show, after the strips' shifts before.
TEST(BlobTiming, SharedGeneratorAsTheSectionsDrawingLeftIt) {
    RandomGenerator strings{kBlobStringSeed};
    for (int i = 0; i < kBlobStrings; ++i) pickStringPoints(162, 162, 162, 100000, strings);
    RandomGenerator strips{kBlobStripSeed};
    for (int i = 0; i < kBlobStrips; ++i) stripShift(1.0f, strips);
    EXPECT_EQ(sharedGeneratorAfterBlobFrame(kBlobStringsStart + 0.01f), strings.state);
    EXPECT_EQ(sharedGeneratorAfterBlobFrame(kBlobStringsStart), strips.state);  // the strings show strictly after
    EXPECT_EQ(sharedGeneratorAfterBlobFrame(kBlobSceneStart + 1.0f), strips.state);
}
