#include "platform/clock.h"

#include <gtest/gtest.h>

namespace {

TEST(GameClock, TestClockMovesOnlyWhenAdvanced) {
    auto clock = platform::GameClock::Test(100);
    EXPECT_EQ(clock.NowMs(), 100u);
    clock.Advance(125);
    EXPECT_EQ(clock.NowMs(), 225u);
}

TEST(GameClock, TimeScaleAcceptsOnlyPositiveNumbers) {
    EXPECT_DOUBLE_EQ(platform::ParseTimeScale("4"), 4.0);
    EXPECT_DOUBLE_EQ(platform::ParseTimeScale("0.5"), 0.5);
    EXPECT_DOUBLE_EQ(platform::ParseTimeScale(nullptr), 1.0);
    EXPECT_DOUBLE_EQ(platform::ParseTimeScale("-2"), 1.0);
    EXPECT_DOUBLE_EQ(platform::ParseTimeScale("fast"), 1.0);
    EXPECT_DOUBLE_EQ(platform::ParseTimeScale("inf"), 1.0);
}

}  // namespace
