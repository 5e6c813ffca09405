#include <gtest/gtest.h>

#include "shell/demo_clock.h"

TEST(DemoClockSmoke, StartsAtZero) { EXPECT_EQ(DemoClock{}.time, 0.0f); }
