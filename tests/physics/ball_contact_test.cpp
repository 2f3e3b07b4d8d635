#include "game/physics/ball_contact.h"

#include <gtest/gtest.h>

#include "game/core/geometry.h"
#include "game/core/surface_kind.h"
#include "game/physics/ball_flight.h"
#include "game/physics/club_table.h"
#include "tests/physics/shot_course.h"

namespace physics {
namespace {

using fixtures::Shot;
using fixtures::ShotCourse;

TEST(BallContact, ShortPuttsGetABiggerCup) {
    ContactState c;
    SetCupSize(c, 0, 0.9f);
    EXPECT_FLOAT_EQ(c.cupRadius, 0.091f);
    EXPECT_FLOAT_EQ(c.holeSpeed, 1.875f);
}

TEST(BallContact, SlowBallDropsFastBallLipsOutOnce) {
    ShotCourse course;
    course.Flat("GRE");
    const Vec3 pin{0, 1, 10};
    ShotTrajectory path;
    // Stops right over the cup.
    ShotInput tapIn = Shot({0, 1, 9.98f}, pin, kClubPutter, 0.3f, 0.0f);
    tapIn.pinDistance = 0.02f;
    SimulateShot(course.world, {.pin = pin}, tapIn, path);
    EXPECT_EQ(tapIn.finished, 1);
    EXPECT_EQ(tapIn.limitReached, 0);
    EXPECT_EQ(path.hiddenAtEnd, 1);
    EXPECT_EQ(path.trajectoryCount, 2);

    // Rolled at the cup too hard: it lips out, curls off the line and never drops afterwards.
    ShotInput charge = Shot({0, 1, 9}, pin, kClubPutter, 2.5f, 0.0f);
    charge.pinDistance = 1.0f;
    SimulateShot(course.world, {.pin = pin}, charge, path);
    EXPECT_EQ(charge.finished, 0);
    int overCup = 0;
    for (int i = 0; i <= path.trajectoryCount; ++i) {
        overCup += core::DistanceXZ(path.points[i].pos, pin) < 0.07f;
    }
    EXPECT_GE(overCup, 1);
    EXPECT_GT(std::fabs(charge.ballPos.x), 0.05f);
    // Once the ball stops rolling it has stopped at the cup's edge or beyond, not in it.
    EXPECT_GE(core::DistanceXZ(charge.ballPos, pin), 0.07f);
}

TEST(BallContact, BiteStopsTheWedgeAndPullsItBack) {
    ShotCourse course;
    course.Flat("GRE");
    const ShotFacts facts{.gameLevel = 2, .pin = {0, 1, 300}};
    ShotTrajectory path;
    ShotInput plain = Shot({0, 1, 0}, {0, 1, 100}, kClubPitchingWedge, 40.0f, 35.1f);
    ShotInput spun = plain;
    spun.bite = 1;
    SimulateShot(course.world, facts, plain, path);
    SimulateShot(course.world, facts, spun, path);
    float farthest = 0.0f;
    for (int i = 0; i <= path.trajectoryCount; ++i) {
        farthest = std::max(farthest, path.points[i].pos.z);
    }
    EXPECT_LT(spun.ballPos.z, farthest - 0.3f);  // rolled back toward the player
    EXPECT_LT(spun.ballPos.z, plain.ballPos.z);

    // A poor impact at level 0 cancels the pull-back; the braking stays.
    ShotInput mishit = spun;
    mishit.ballPos = mishit.startPos;
    SimulateShot(course.world, {.gameLevel = 0, .pin = facts.pin, .impactError = 7.0f}, mishit, path);
    EXPECT_GT(mishit.ballPos.z, spun.ballPos.z);
    EXPECT_LT(mishit.ballPos.z, plain.ballPos.z);

    // A driver with bite only shortens the roll.
    ShotInput drive = Shot({0, 1, 0}, {0, 1, 100}, kClubDriver, 60.0f, 10.0f);
    ShotInput driveSpun = drive;
    driveSpun.bite = 1;
    SimulateShot(course.world, facts, drive, path);
    SimulateShot(course.world, facts, driveSpun, path);
    EXPECT_LT(driveSpun.ballPos.z, drive.ballPos.z);
    float driveFarthest = 0.0f;
    for (int i = 0; i <= path.trajectoryCount; ++i) {
        driveFarthest = std::max(driveFarthest, path.points[i].pos.z);
    }
    EXPECT_EQ(driveSpun.ballPos.z, driveFarthest);
}

TEST(BallContact, SlopesPullTheRollingBallDownhillAndBunkersHoldIt) {
    ShotCourse course;
    // A green falling toward +x: y = 5 - 0.2 x.
    fixtures::AddHeightfield(course.model, "GRE", -50, -50, 50, 50, 10,
                             [](float x, float) { return 5.0f - 0.2f * x; });
    course.Patch("BNK", -150, 60, 150, 690, 1.0f).Patch("FWY", -150, -90, 150, 690, 1.0f).Ready();
    ShotTrajectory path;
    ShotInput putt = Shot({0, 5, 0}, {0, 5, 10}, kClubPutter, 4.0f, 0.0f);
    SimulateShot(course.world, {.pin = {0, 0, 400}}, putt, path);
    EXPECT_GT(putt.ballPos.x, 1.0f);
    ShotInput intoSand = Shot({0, 1, 55}, {0, 1, 100}, kClubPutter, 10.0f, 0.0f);
    ShotInput onFairway = Shot({0, 1, -40}, {0, 1, 100}, kClubPutter, 10.0f, 0.0f);
    SimulateShot(course.world, {.pin = {0, 0, 400}}, intoSand, path);
    SimulateShot(course.world, {.pin = {0, 0, 400}}, onFairway, path);
    EXPECT_EQ(intoSand.surface, core::kSurfaceBunker);
    EXPECT_LT(intoSand.ballPos.z - 55.0f, (onFairway.ballPos.z + 40.0f) / 2.0f);
}

}  // namespace
}  // namespace physics
