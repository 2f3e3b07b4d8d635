#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "game/physics/club_table.h"

namespace physics {
namespace {

TEST(ClubTable, HudTextsFitTheirFields) {
    char line[64];
    std::snprintf(line, sizeof line, "%s (%3.0f yard)", ClubRow(kClubDriver).name,
                  ClubRow(kClubDriver).carry);
    EXPECT_STREQ(line, "Wood 1 (245 yard)");
    std::snprintf(line, sizeof line, "%3.0f", ClubRow(kClubSandWedge).carry);
    EXPECT_STREQ(line, " 50");
    EXPECT_STREQ(ClubRow(kClubPutter).code, "P ");
    EXPECT_STREQ(ClubRow(kClubPutter).nickname, "");
    for (const ClubSpec& club : kClubSpecs) {
        EXPECT_LT(std::strlen(club.name), sizeof club.name);
        EXPECT_EQ(std::strlen(club.code), 2u);
    }
}

TEST(ClubTable, PutterNeverLoftsAndShortClubsHaveNoOverPowerPenalty) {
    EXPECT_EQ(ClubRow(kClubPutter).loft, 0.0f);
    EXPECT_EQ(ClubRow(kClubPutter).mishitLoft, 0.0f);
    for (int club = 0; club < kClubCount; ++club) {
        EXPECT_EQ(ClubRow(club).overPowerFactor == 1.0f, club >= kClubPitchingWedge) << club;
    }
    // The speeds fall club by club: the launch and the automatic club both rely on that order.
    for (int club = 1; club < kClubCount; ++club) {
        EXPECT_LT(ClubRow(club).speed, ClubRow(club - 1).speed) << club;
        EXPECT_LE(ClubRow(club).carry, ClubRow(club - 1).carry) << club;
    }
}

}  // namespace
}  // namespace physics
