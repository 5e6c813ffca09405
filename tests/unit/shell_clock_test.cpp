#include <gtest/gtest.h>

#include "shell/demo_clock.h"
#include "shell/music.h"

TEST(ShellClock, FollowsTheMusicHoldsWhilePausedAndEndsAbove225) {
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
    EXPECT_FALSE(advanceDemoClock(clock, 225.0f));
    EXPECT_EQ(clock.delta, 175.0f) << "the release jumps by the whole pause";
    EXPECT_TRUE(advanceDemoClock(clock, 225.01f));
}

TEST(ShellClock, DigitsSeekToEleventhsAndTheFixedStepClockStepsOneFrame) {
    const std::uint64_t second = 44100 * 4;
    EXPECT_EQ(seekTargetBytes(220 * second, 0.0f), 0u);
    EXPECT_EQ(seekTargetBytes(220 * second, 5.0f), 100 * second);
    EXPECT_EQ(seekTargetBytes(0, 7.0f), 0u);
    useFixedStepClock(10.0, 4);
    for (int i = 0; i < 8; ++i) advanceFixedStepClock();
    EXPECT_EQ(musicTime(), 12.0f);
    // 2 frames a second from 0 to 225 s: 451 frames up to and including 225.0.
    useFixedStepClock(0.0, 2);
    while (musicTime() <= 225.0f) advanceFixedStepClock();
    EXPECT_EQ(fixedStepFrameIndex(), 451);
}
