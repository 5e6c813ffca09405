// The demo clock: following the music, pausing, the fixed step of captures and the ticks
// of the frame rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <tuple>
#include <vector>

#include "base/cue_times.h"
#include "base/demo_clock.h"
#include "program/music.h"

TEST(BaseClock, FollowsTheMusicHoldsWhilePausedAndEndsAfterTheLastCue) {
    DemoClock clock;
    EXPECT_FALSE(advanceDemoClock(clock, 50.0f));
    EXPECT_EQ(clock.delta, 50.0f) << "the first delta is the whole playback position";
    clock.paused = 1;
    for (const float music : {50.5f, 230.0f}) {
        EXPECT_FALSE(advanceDemoClock(clock, music)) << "a paused demo never ends by itself";
        EXPECT_EQ(clock.time, 50.0f);
        EXPECT_EQ(clock.delta, 0.0f);
    }
    clock.time = 100.0f;  // a digit key while paused: the next idle step puts the held time back
    advanceDemoClock(clock, 100.1f);
    EXPECT_EQ(clock.time, 50.0f);
    clock.paused = 0;
    EXPECT_FALSE(advanceDemoClock(clock, kDemoEndTime));
    EXPECT_EQ(clock.delta, kDemoEndTime - 50.0f) << "the release jumps by the whole pause";
    EXPECT_TRUE(advanceDemoClock(clock, kDemoEndTime + 0.01f));
}

TEST(BaseClock, DigitsSeekToEleventhsAndTheFixedStepClockStepsOneFrame) {
    const std::uint64_t second = 44100 * 4;
    EXPECT_EQ(seekTargetBytes(220 * second, 0.0f), 0u);
    EXPECT_EQ(seekTargetBytes(0, 7.0f), 0u);
    useFixedStepClock(10.0, 4);
    for (int i = 0; i < 8; ++i) advanceFixedStepClock();
    EXPECT_EQ(musicTime(), 12.0f);
}

namespace {

// Demo ticks the frames at the given times run, one count per frame.
std::vector<std::int64_t> ticksOfFrames(DemoClock& clock, const std::vector<float>& times) {
    std::vector<std::int64_t> counts;
    for (const float t : times) {
        advanceDemoClock(clock, t);
        const TickPlan plan = planFrameTicks(clock);
        counts.push_back(plan.count);
    }
    return counts;
}

}  // namespace

// The frame rules run 60 times a second of demo time, whatever the frame rate.
TEST(BaseClock, EveryFrameRateRunsSixtyTicksASecond) {
    const struct {
        int fps;
        std::int64_t mostPerFrame;
    } rates[] = {{144, 1}, {240, 1}, {60, 1}, {30, 2}, {20, 3}, {7, 9}, {1, 60}};
    for (const auto& [fps, mostPerFrame] : rates) {
        SCOPED_TRACE(fps);
        DemoClock clock;
        EXPECT_EQ(ticksOfFrames(clock, {0.0f}), std::vector<std::int64_t>{1}) << "the first frame runs tick 0";
        std::vector<float> times;
        for (int i = 1; i <= fps; ++i) times.push_back(static_cast<float>(static_cast<double>(i) / fps));
        const std::vector<std::int64_t> counts = ticksOfFrames(clock, times);
        EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), std::int64_t{0}), 60);
        EXPECT_EQ(*std::max_element(counts.begin(), counts.end()), mostPerFrame);
        EXPECT_EQ(clock.nextTick, 61) << "the frame at 1 s ran tick 60";
    }
}

TEST(BaseClock, PausedFramesSeeksAndOddTimes) {
    DemoClock clock;
    EXPECT_EQ(ticksOfFrames(clock, {0.05f}), std::vector<std::int64_t>{4}) << "a first frame late runs 0 to 3";
    EXPECT_EQ(ticksOfFrames(clock, {0.04f, 0.05f}), (std::vector<std::int64_t>{0, 0})) << "no tick twice";
    // Paused: no demo ticks, and one tick at the held time per tick of the source's time,
    // at most a second of them in one frame.
    clock.paused = 1;
    const struct {
        float source;
        std::int64_t paused;
    } pause[] = {{0.1f, 3}, {0.1f, 0}, {0.2f, 6}, {30.0f, 60}};
    for (const auto& [source, paused] : pause) {
        advanceDemoClock(clock, source);
        const TickPlan plan = planFrameTicks(clock);
        EXPECT_EQ(std::tuple(plan.count, plan.pausedTicks), std::tuple(0, paused)) << source;
    }
    // The release catches up every tick the pause let pass.
    clock.paused = 0;
    EXPECT_EQ(ticksOfFrames(clock, {30.0f}), std::vector<std::int64_t>{30 * 60 - 3}) << "ticks 4 to 1800";
    // A seek goes on from its time without catching up; a frame between two ticks runs the
    // later one; a time that is not a number runs nothing.
    restartTicksAt(clock, 100.0f);
    EXPECT_EQ(ticksOfFrames(clock, {100.0f, 100.01f, std::nanf(""), 100.015f, 100.02f}),
              (std::vector<std::int64_t>{1, 1, 0, 0, 1}));
    EXPECT_EQ(clock.nextTick, 6003);
}

TEST(BaseClock, FixedStepTimesLandOnTheirTicks) {
    for (std::int64_t k = 0; k <= 225 * 60; ++k) {
        ASSERT_EQ(std::tuple(lastTickAt(tickTime(k)), firstTickAtOrAfter(tickTime(k))), std::tuple(k, k)) << k;
    }
    EXPECT_EQ(std::tuple(lastTickAt(-0.5f), firstTickAtOrAfter(-0.5f), lastTickAt(1e30f)),
              std::tuple(-1, 0, 86400 * 60));
    EXPECT_EQ(std::tuple(tickDelta(0), tickDelta(1)), std::tuple(0.0f, tickTime(1)));
}
