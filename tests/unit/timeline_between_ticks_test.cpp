// Frames between two ticks: where a frame lies between them, and the positions, poses and
// values it draws there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <tuple>
#include <vector>

#include "base/demo_clock.h"
#include "base/random.h"
#include "sim/soft_object.h"
#include "testing/fluid_support.h"
#include "timeline/between_ticks.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(BetweenTicks, WhereAFrameLiesBetweenTheLastTwoTicks) {
    const struct {
        float t;
        std::int64_t latestTick;
        float share;
    } cases[] = {
        {tickTime(60), 60, 1.0f},                  // at the tick: exactly its state
        {1.0f - 0.5f / 60.0f, 60, 0.5f},           // half-way from tick 59
        {1.0f - 0.9f / 60.0f, 60, 0.1f},
        {tickTime(60) - 1.0e-7f, 60, 1.0f},        // a rounding short of the tick counts as on it
        {1.1f, 60, 1.0f},                          // no tick ahead of the frame: the latest
        {0.5f, 60, 0.0f},                          // further back than one tick: the earlier
        {kNaN, 60, 1.0f},
        {0.0f, -1, 1.0f},                          // no tick yet
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.t << " before tick " << c.latestTick);
        EXPECT_NEAR(blendBetweenTicks(c.t, c.latestTick), c.share, 1.0e-4f);
        if (c.share == 1.0f) {
            EXPECT_EQ(blendBetweenTicks(c.t, c.latestTick), 1.0f);
        }
    }
}

TEST(BetweenTicks, PositionsLieBetweenTheTicksAndJumpsAreNotBlended) {
    // Particle 0 moves, 1 wrapped from the right edge to the left, 2 respawned, 3 stays.
    const std::vector<ParticlePosition> before = {{0.2f, 0.6f}, {0.99f, 0.5f}, {0.1f, 0.1f}, {0.4f, 0.4f}};
    const std::vector<ParticlePosition> after = {{0.3f, 0.2f}, {0.01f, 0.5f}, {0.8f, 0.9f}, {0.4f, 0.4f}};
    const std::vector<std::uint8_t> jumped = {0, 1, 1, 0};
    const struct {
        float share;
        ParticlePosition first;
    } cases[] = {{0.0f, {0.2f, 0.6f}}, {0.5f, {0.25f, 0.4f}}, {0.25f, {0.225f, 0.5f}}, {1.0f, {0.3f, 0.2f}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.share);
        std::vector<ParticlePosition> out(after.size());
        blendPositions(before, after, jumped, c.share, out);
        EXPECT_NEAR(out[0].x, c.first.x, 1.0e-6f);
        EXPECT_NEAR(out[0].y, c.first.y, 1.0e-6f);
        for (std::size_t i : {1u, 2u}) EXPECT_EQ(std::tuple(out[i].x, out[i].y), std::tuple(after[i].x, after[i].y));
        EXPECT_EQ(std::tuple(out[3].x, out[3].y), std::tuple(0.4f, 0.4f));
    }

    // Between the two ends to the bit whatever the rounding, and the latest exactly at 1.
    seedRandom(7);
    std::vector<ParticlePosition> a(4096), b(4096), out(4096);
    for (std::size_t i = 0; i < a.size(); ++i) {
        a[i] = {randUnit(), randUnit() * 1.0e-3f};
        b[i] = {std::nextafter(a[i].x, 2.0f), randUnit()};
    }
    const std::vector<std::uint8_t> none(a.size(), 0);
    for (const float share : {0.0f, 0.3f, 0.5f, 0.999999f, 1.0f}) {
        blendPositions(a, b, none, share, out);
        for (std::size_t i = 0; i < a.size(); ++i) {
            ASSERT_GE(out[i].x, std::min(a[i].x, b[i].x));
            ASSERT_LE(out[i].x, std::max(a[i].x, b[i].x));
            ASSERT_GE(out[i].y, std::min(a[i].y, b[i].y));
            ASSERT_LE(out[i].y, std::max(a[i].y, b[i].y));
            if (share == 1.0f) {
                ASSERT_TRUE(sameBits(out[i].x, b[i].x) && sameBits(out[i].y, b[i].y));
            }
        }
    }

    // Spans of other sizes: what has no earlier position or flag is drawn where it is.
    std::vector<ParticlePosition> shortOut(3);
    blendPositions(std::span(before).first(1), after, std::span(jumped).first(2), 0.0f, shortOut);
    EXPECT_EQ(std::tuple(shortOut[0].x, shortOut[1].x, shortOut[2].x), std::tuple(0.2f, 0.01f, 0.8f));
}

TEST(BetweenTicks, BodiesBlendUnlessTheyWrapped) {
    SoftBodyPose before{{{1.0f, 2.0f, 3.0f}, {2.0f, 2.0f, 2.0f}}, {{0.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 0.0f}}};
    SoftBodyPose after{{{2.0f, 4.0f, 3.0f}, {3.0f, 2.0f, 1.0f}}, {{0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}}};
    SoftBodyPose out;
    blendPoses(before, after, 0.5f, out);
    EXPECT_EQ(std::tuple(out.positions[0].x, out.positions[0].y, out.positions[1].z), std::tuple(1.5f, 3.0f, 1.5f));
    EXPECT_EQ(std::tuple(out.normals[0].y, out.normals[0].z), std::tuple(0.5f, 0.5f));

    // The whole body moved back by the wrap: the frame shows it where it now is.
    SoftBodyPose wrapped = after;
    for (Vector3& p : wrapped.positions) p.x -= kWrapShift;
    blendPoses(before, wrapped, 0.5f, out);
    EXPECT_EQ(out.positions[1].x, 3.0f - kWrapShift);
    // A pose of another size (none kept yet) gives the latest too.
    blendPoses(SoftBodyPose{}, after, 0.5f, out);
    EXPECT_EQ(out.positions[0].x, 2.0f);
}

TEST(BetweenTicks, TheFrameViewOfTheLastTwoTicks) {
    fluidtest::SavedFluidState saved;
    auto savedHistory = std::make_unique<TickHistory>(tickHistory);
    for (int i = 0; i < kMaxParticles; ++i) particles.particlePositions[static_cast<std::size_t>(i)] = {0.2f, 0.2f};
    particles.particleImageTint = 1.0f;
    const SoftBodyRefs noBodies{};
    rememberTickState(noBodies);
    EXPECT_EQ(particles.particleJumped[5], 0) << "the flags start afresh for the next tick";
    particles.particlePositions[0] = {0.4f, 0.6f};
    particles.particlePositions[1] = {0.9f, 0.9f};
    particles.particleJumped[1] = 1;
    particles.particleImageTint = 0.5f;

    buildFrameView(0.5f, noBodies);
    EXPECT_NEAR(frameView.particlePositions[0].x, 0.3f, 1.0e-6f);
    EXPECT_EQ(frameView.particlePositions[1].x, 0.9f);
    EXPECT_EQ(frameView.values.particleImageTint, 0.75f);
    buildFrameView(1.0f, noBodies);
    EXPECT_EQ(frameView.particlePositions[0].x, 0.4f);
    EXPECT_EQ(frameView.values.particleImageTint, 0.5f);
    // After a reset nothing is blended until a tick is remembered again.
    forgetTickState();
    buildFrameView(0.5f, noBodies);
    EXPECT_EQ(std::tuple(frameView.blend, frameView.particlePositions[0].x), std::tuple(1.0f, 0.4f));
    tickHistory = *savedHistory;
}

}  // namespace
