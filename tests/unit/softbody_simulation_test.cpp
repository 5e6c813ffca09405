// The soft-body step: forces, the four integrators against known motions, the floor and
// the wrap along x.
#include <gtest/gtest.h>

#include <cmath>

#include "fluid/random.h"
#include "softbody/soft_object.h"
#include "testing/softbody_models.h"

using softtest::tetrahedron;

namespace {

// A body whose springs and gas do nothing: every particle falls freely.
CSoftObject freeTetrahedron(float height) {
    CSoftObject body(tetrahedron(), Vector3{0, height, 0}, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
    body.gravity = Vector3{0, -10, 0};
    return body;
}

// Radial distance of corner 0 from the centre of a tetrahedron at (0, 10, 0).
float radius(const CSoftObject& body) {
    const Vector3 r = body.particles[0].position - Vector3{0, 10, 0};
    return std::sqrt(dot(r, r));
}

}  // namespace

TEST(SoftBodySimulation, SpringsAtRestWithEqualVelocitiesExertNothing) {
    CSoftObject body(tetrahedron(), Vector3{0, 10, 0}, 1.0f, 1.0f, 1000.0f, 50.0f, 0.0f);
    for (SoftParticle& p : body.particles) p.velocity = Vector3{0.3f, -0.2f, 0.7f};
    body.computeForces();
    for (const SoftParticle& p : body.particles) {
        EXPECT_NEAR(p.force.x, 0.0f, 1e-3f);
        EXPECT_NEAR(p.force.y, 0.0f, 1e-3f);
        EXPECT_NEAR(p.force.z, 0.0f, 1e-3f);
    }
}

TEST(SoftBodySimulation, StretchedSpringPullsItsEndsTogether) {
    CSoftObject body(tetrahedron(), Vector3{0, 10, 0}, 1.0f, 1.0f, 1000.0f, 0.0f, 0.0f);
    body.particles[0].position = body.particles[0].position + Vector3{0.5f, 0.5f, 0.5f};  // outwards
    body.computeForces();
    const Vector3 out{1, 1, 1};
    EXPECT_LT(dot(body.particles[0].force, out), -100.0f);
}

TEST(SoftBodySimulation, PressurePushesEveryCornerOutwards) {
    CSoftObject body(softtest::unitCube(), Vector3{2, 3, -1}, 1.0f, 1.0f, 1000.0f, 1.0f, 500.0f);
    body.computeForces();
    const Vector3 centre{2.5f, 3.5f, -0.5f};
    for (const SoftParticle& p : body.particles) {
        const Vector3 out = p.position - centre;
        EXPECT_GT(dot(p.force, out), 0.0f);
    }
    // Size: corner 0 of the unit cube has vertex normal 0.666 (-1, -1, -1); each of its six
    // faces of area measure 1 pushes along it with 0.33 * pressure / volume.
    const float expected = 6 * 0.666f * 500.0f / body.volume * 0.33f;
    EXPECT_NEAR(-body.particles[0].force.x, expected, 1e-2f);
}

TEST(SoftBodySimulation, DegenerateStepsStayFinite) {
    // Crushed flat: the volume is 0 and the gas does nothing rather than divide by it.
    CSoftObject body(tetrahedron(), Vector3{0, 10, 0}, 1.0f, 1.0f, 1000.0f, 1.0f, 1e5f);
    for (SoftParticle& p : body.particles) p.position.z = 0.0f;
    body.particles[1].position = body.particles[0].position;  // and one zero-length spring
    body.computeForces();
    EXPECT_EQ(body.invVolume, 0.0f);
    for (const SoftParticle& p : body.particles) {
        EXPECT_TRUE(std::isfinite(p.force.x) && std::isfinite(p.force.y) && std::isfinite(p.force.z));
    }
    body.simulate(RungeKutta4, 0.001f);
    body.simulate(RungeKutta4, NAN);
    for (const SoftParticle& p : body.particles) EXPECT_TRUE(std::isfinite(p.position.x));
}

TEST(SoftBodySimulation, RestingBodyStaysAtRestUnderEveryKind) {
    for (const IntegratorKind kind : {Euler, ImprovedEuler, Midpoint, RungeKutta4, IntegratorKind(7)}) {
        CSoftObject body(tetrahedron(), Vector3{0, 10, 0}, 1.0f, 1.0f, 1000.0f, 5.0f, 0.0f);
        const Vector3 before = body.particles[2].position;
        for (int i = 0; i < 20; ++i) body.simulate(kind, 0.001f);
        EXPECT_NEAR(body.particles[2].position.x, before.x, 1e-6f) << kind;
        EXPECT_NEAR(body.particles[2].position.y, before.y, 1e-6f) << kind;
        EXPECT_NEAR(body.particles[2].velocity.z, 0.0f, 1e-6f) << kind;
    }
}

TEST(SoftBodySimulation, ZeroLengthStepOnlyCollides) {
    CSoftObject body(tetrahedron(), Vector3{0, 10, 0}, 1.0f, 1.0f, 1000.0f, 5.0f, 100.0f);
    body.gravity = Vector3{0, -50, 0};
    body.particles[3].velocity = Vector3{1, 2, 3};
    const auto before = body.particles;
    body.simulate(RungeKutta4, 0.0f);
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(body.particles[i].position.y, before[i].position.y);
        EXPECT_EQ(body.particles[i].velocity.z, before[i].velocity.z);
    }
}

TEST(SoftBodySimulation, FallingParticlesFollowTheParabola) {
    const float dt = 0.01f;
    const int steps = 50;
    const double t = dt * steps;
    // RK4 and midpoint integrate a constant acceleration exactly.
    for (const IntegratorKind kind : {Midpoint, RungeKutta4}) {
        CSoftObject body = freeTetrahedron(100.0f);
        for (int i = 0; i < steps; ++i) body.simulate(kind, dt);
        EXPECT_NEAR(body.particles[0].position.y, 101.0 - 5.0 * t * t, 1e-4) << kind;
        EXPECT_NEAR(body.particles[0].velocity.y, -10.0 * t, 1e-4) << kind;
        EXPECT_NEAR(body.particles[0].position.x, 1.0, 1e-6) << kind;
    }
    // Euler uses the stored force (none before the first force pass); once it is there,
    // the velocity is exact and the position runs one step ahead (semi-implicit).
    CSoftObject euler = freeTetrahedron(100.0f);
    euler.simulate(Euler, dt);
    EXPECT_EQ(euler.particles[0].velocity.y, 0.0f);
    euler.computeForces();
    for (int i = 0; i < steps; ++i) euler.simulate(Euler, dt);
    EXPECT_NEAR(euler.particles[0].velocity.y, -10.0 * t, 1e-4);
    EXPECT_NEAR(euler.particles[0].position.y, 101.0 - 5.0 * dt * dt * steps * (steps + 1), 1e-3);

    // Improved Euler averages the new force with the one stored when the step began.
    CSoftObject improved = freeTetrahedron(100.0f);
    improved.simulate(ImprovedEuler, dt);
    EXPECT_NEAR(improved.particles[0].velocity.y, -10.0 * dt * 0.5, 1e-6);
    for (int i = 1; i < steps; ++i) improved.simulate(ImprovedEuler, dt);
    EXPECT_NEAR(improved.particles[0].velocity.y, -10.0 * (t - dt * 0.5), 1e-4);
}

TEST(SoftBodySimulation, BreathingTetrahedronOscillatesAtTwiceRootKOverM) {
    // Every corner pushed out radially by the same amount: the three springs at a corner
    // give a radial restoring force 4 k delta, so delta(t) = delta0 cos(2 sqrt(k / m) t).
    const float k = 4.0f;
    const double omega = 2.0 * std::sqrt(k);
    const double delta0 = 0.05;
    const double rest = std::sqrt(3.0);
    const double t = 0.6;
    const double expected = rest + delta0 * std::cos(omega * t);
    const double tolerance[] = {0, 0, 2e-4, 2e-6};
    for (const IntegratorKind kind : {Midpoint, RungeKutta4}) {
        CSoftObject body(tetrahedron(), Vector3{0, 10, 0}, 1.0f, 1.0f, k, 0.0f, 0.0f);
        for (SoftParticle& p : body.particles) {
            const Vector3 r = p.position - Vector3{0, 10, 0};
            p.position = Vector3{0, 10, 0} + r * static_cast<float>((rest + delta0) / rest);
        }
        const float dt = 0.005f;
        for (int i = 0; i < 120; ++i) body.simulate(kind, dt);
        EXPECT_NEAR(radius(body), expected, tolerance[kind]) << kind;
    }
}

TEST(SoftBodySimulation, EnergyDoesNotGrowUnderRungeKutta) {
    // The shipped blob with the demo's springs, kicked at random, no gravity or gas:
    // springs and damping may only take energy out.
    for (const float damping : {480.0f, 0.0f}) {
        CSoftObject body(softtest::generatedBlob(), Vector3{1.5f, 0, 0}, 0.85f, 1.0f, 1e6f, damping, 0.0f);
        seedRandom(7);
        for (SoftParticle& p : body.particles) p.velocity = Vector3{randUnit() - 0.5f, randUnit() - 0.5f, randUnit() - 0.5f};
        const double start = softtest::bodyEnergy(body);
        double previous = start;
        for (int i = 0; i < 400; ++i) {
            body.simulate(RungeKutta4, 0.00075f);
            const double now = softtest::bodyEnergy(body);
            if (damping > 0) {
                EXPECT_LE(now, previous * (1 + 1e-4)) << "step " << i;
            }
            previous = now;
        }
        if (damping > 0) {
            EXPECT_LT(previous, start * 0.5);
        } else {
            EXPECT_LE(previous, start * 1.01);  // RK4 loses a little, never gains
        }
    }
}

TEST(SoftBodySimulation, FloorBouncesWithFourFifths) {
    CSoftObject body = freeTetrahedron(10.0f);
    body.gravity = Vector3{};
    body.particles[1].position.y = -4.6f;
    body.particles[1].velocity = Vector3{1, -2, 3};
    body.particles[2].position.y = -4.5f;  // exactly on the floor: untouched
    body.particles[2].velocity = Vector3{0, -1, 0};
    body.simulate(IntegratorKind(9), 0.01f);  // no integration, only the floor and wrap pass
    EXPECT_EQ(body.particles[1].position.y, -4.5f);
    EXPECT_FLOAT_EQ(body.particles[1].velocity.x, -0.8f);
    EXPECT_FLOAT_EQ(body.particles[1].velocity.y, 1.6f);
    EXPECT_FLOAT_EQ(body.particles[1].velocity.z, -2.4f);
    EXPECT_EQ(body.particles[2].velocity.y, -1.0f);
}

TEST(SoftBodySimulation, ImprovedEulerHitsTheFloorTwice) {
    CSoftObject body = freeTetrahedron(10.0f);
    body.gravity = Vector3{};
    body.particles[0].position.y = -4.6f;
    body.particles[0].velocity = Vector3{0, -1, 0};
    body.simulate(ImprovedEuler, 0.01f);
    // Predictor: bounced to +0.8; corrector restarts from the saved -4.6 / -1 and lands
    // below the floor again, bounced once more.
    EXPECT_EQ(body.particles[0].position.y, -4.5f);
    EXPECT_FLOAT_EQ(body.particles[0].velocity.y, 0.8f);
}

TEST(SoftBodySimulation, WrapShiftsTheWholeBodyOnce) {
    CSoftObject body = freeTetrahedron(10.0f);
    body.gravity = Vector3{};
    for (SoftParticle& p : body.particles) p.position.x += 5.5f;  // corners at 6.5 and 4.5
    body.particles[3].position.y = -5.0f;                         // after the trigger
    body.simulate(IntegratorKind(9), 0.0f);
    EXPECT_FLOAT_EQ(body.particles[0].position.x, 0.5f);
    EXPECT_FLOAT_EQ(body.particles[1].position.x, 0.5f);
    EXPECT_FLOAT_EQ(body.particles[2].position.x, -1.5f);
    EXPECT_EQ(body.particles[3].position.y, -5.0f);  // not tested for the floor this step
    // x = 6 exactly does not wrap.
    CSoftObject edge = freeTetrahedron(10.0f);
    edge.gravity = Vector3{};
    edge.particles[0].position.x = 6.0f;
    edge.simulate(IntegratorKind(9), 0.0f);
    EXPECT_EQ(edge.particles[0].position.x, 6.0f);
}
