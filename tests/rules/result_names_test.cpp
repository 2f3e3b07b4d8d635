#include "game/rules/result_names.h"

#include <gtest/gtest.h>

namespace rules {
namespace {

TEST(ResultNames, EachParEndsAtDoublePar) {
    EXPECT_STREQ(ResultName(3, 6), "Double Par");
    EXPECT_STREQ(ResultName(4, 8), "Double Par");
    EXPECT_STREQ(ResultName(5, 10), "Double Par");
    EXPECT_STREQ(ResultName(5, 2), "Double Eagle");
    EXPECT_STREQ(ResultName(4, 2), "Eagle");
    EXPECT_STREQ(ResultName(3, 2), "Birdie");
    for (int par = 3; par <= 5; ++par) {
        EXPECT_STREQ(ResultName(par, 1), "Hole in One");
        EXPECT_STREQ(ResultName(par, par), "Par");
        EXPECT_STREQ(ResultName(par, par + 1), "Bogey");
        EXPECT_STREQ(ResultName(par, 2 * par + 1), "");
    }
    EXPECT_STREQ(ResultName(4, 0), "");
    EXPECT_STREQ(ResultName(6, 1), "");
}

}  // namespace
}  // namespace rules
