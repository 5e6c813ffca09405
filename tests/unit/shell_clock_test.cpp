#include <gtest/gtest.h>

#include "shell/demo_clock.h"
#include "shell/music.h"

TEST(ShellClock, FirstDeltaIsThePlaybackPosition) {
    DemoClock clock;
    EXPECT_FALSE(advanceDemoClock(clock, 1.5f));
    EXPECT_FLOAT_EQ(clock.time, 1.5f);
    EXPECT_FLOAT_EQ(clock.delta, 1.5f);
    EXPECT_FLOAT_EQ(clock.heldTime, 1.5f);
}

TEST(ShellClock, EndsOnlyStrictlyAbove225) {
    DemoClock clock;
    EXPECT_FALSE(advanceDemoClock(clock, 225.0f));
    EXPECT_TRUE(advanceDemoClock(clock, 225.01f));
}

TEST(ShellClock, PauseHoldsTimeAndReleaseJumps) {
    DemoClock clock;
    advanceDemoClock(clock, 50.0f);
    clock.paused = 1;
    for (float music : {50.5f, 60.0f, 230.0f}) {
        EXPECT_FALSE(advanceDemoClock(clock, music)) << "a paused demo never ends by itself";
        EXPECT_FLOAT_EQ(clock.time, 50.0f);
        EXPECT_FLOAT_EQ(clock.delta, 0.0f);
    }
    clock.paused = 0;
    advanceDemoClock(clock, 70.0f);
    EXPECT_FLOAT_EQ(clock.time, 70.0f);
    EXPECT_FLOAT_EQ(clock.delta, 20.0f);
}

TEST(ShellClock, DigitWhilePausedIsUndoneByTheNextIdle) {
    DemoClock clock;
    advanceDemoClock(clock, 50.0f);
    clock.paused = 1;
    advanceDemoClock(clock, 51.0f);
    // The key sets the time to the new music position...
    clock.time = 100.0f;
    clock.delta = 0.0f;
    // ...but the next idle call puts the held time back.
    advanceDemoClock(clock, 100.1f);
    EXPECT_FLOAT_EQ(clock.time, 50.0f);
    clock.paused = 0;
    advanceDemoClock(clock, 100.2f);
    EXPECT_FLOAT_EQ(clock.time, 100.2f);
}

TEST(ShellClock, SeekTargetIsElevenths) {
    const std::uint64_t bytesPerSecond = 44100 * 4;
    const std::uint64_t length = 220 * bytesPerSecond;
    EXPECT_EQ(seekTargetBytes(length, 0.0f), 0u);
    EXPECT_EQ(seekTargetBytes(length, 5.0f), 100 * bytesPerSecond);
    EXPECT_EQ(seekTargetBytes(length, 9.0f), static_cast<std::uint64_t>(static_cast<double>(length) * (9.0 / 11.0)));
    EXPECT_LT(seekTargetBytes(length, 9.0f), length) << "no digit reaches the end";
    EXPECT_EQ(seekTargetBytes(0, 7.0f), 0u);
}

TEST(ShellClock, FixedStepClockStepsExactlyOneFramePerCall) {
    useFixedStepClock(10.0, 4);
    EXPECT_FLOAT_EQ(musicTime(), 10.0f);
    for (int i = 0; i < 8; ++i) advanceFixedStepClock();
    EXPECT_FLOAT_EQ(musicTime(), 12.0f);
    EXPECT_EQ(fixedStepFrameIndex(), 8);
    // 2 frames per second from 0 to 225 s: 451 frames up to and including 225.0.
    useFixedStepClock(0.0, 2);
    int frames = 0;
    while (musicTime() <= 225.0f) {
        ++frames;
        advanceFixedStepClock();
    }
    EXPECT_EQ(frames, 451);
}
