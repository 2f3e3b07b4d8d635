#include "game/core/random.h"

#include <gtest/gtest.h>

namespace {

TEST(Rand15, MatchesTheClassicSequence) {
    core::Rand15 r;
    r.Seed(1);
    EXPECT_EQ(r.Next(), 41);
    EXPECT_EQ(r.Next(), 18467);
    EXPECT_EQ(r.Next(), 6334);
}

}  // namespace
