#include "game/physics/ball_flight.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "game/core/surface_kind.h"
#include "game/physics/ball_contact.h"
#include "game/physics/club_table.h"
#include "tests/physics/shot_course.h"

namespace physics {
namespace {

using fixtures::Shot;
using fixtures::ShotCourse;

TEST(BallFlight, LaunchVelocityAndTimeStep) {
    ShotInput shot = Shot({0, 1, 0}, {0, 1, 100}, kClubDriver, 100.0f, 30.0f);
    BallState ball = InitBall(shot);
    EXPECT_EQ(ball.vel.x, 0.0f);  // aimed along z
    EXPECT_FLOAT_EQ(ball.vel.z, 100.0f * std::cos(30.0f * 3.1415927f / 180.0f));
    EXPECT_FLOAT_EQ(ball.vel.y, 50.0f);
    EXPECT_EQ(ball.dt, 0.05f);
    EXPECT_EQ(ball.pos.y, 1.01f);
    EXPECT_EQ(ball.rolling, 0);

    shot.aimTarget = {-30, 1, -40};  // a diagonal aim: the speed is shared out by direction
    ball = InitBall(shot);
    EXPECT_FLOAT_EQ(ball.vel.x, -0.6f * ball.horizSpeed);
    EXPECT_FLOAT_EQ(ball.vel.z, -0.8f * ball.horizSpeed);

    shot.aimTarget = {0, 1, 100};
    shot.push = 90.0f;  // a push turns (x, z) into (x cos a + z sin a, -x sin a + z cos a)
    ball = InitBall(shot);
    EXPECT_NEAR(ball.vel.x, ball.horizSpeed, 1e-3f);
    EXPECT_NEAR(ball.vel.z, 0.0f, 1e-3f);

    // A short slow putt takes longer steps; a putt never flies.
    ShotInput putt = Shot({0, 1, 0}, {0, 1, 3}, kClubPutter, 3.0f, 0.0f);
    putt.pinDistance = 3.0f;
    EXPECT_EQ(InitBall(putt).dt, 0.06f);
    EXPECT_EQ(InitBall(putt).rolling, 1);
    putt.launchSpeed = 3.2f;
    EXPECT_EQ(InitBall(putt).dt, 0.05f);
    putt.pinDistance = 5.0f;
    putt.launchSpeed = 3.0f;
    EXPECT_EQ(InitBall(putt).dt, 0.05f);

    // Aimed at its own spot, or with garbage in the record, the ball still gets a usable start.
    ShotInput odd = Shot({5, 1, 5}, {5, 9, 5}, kClubIron5, std::nanf(""), 20.0f);
    ball = InitBall(odd);
    EXPECT_EQ(ball.aimDir.z, 1.0f);
    EXPECT_EQ(ball.vel.z, 0.0f);
}

TEST(BallFlight, StraightShotStaysInItsPlaneAndStartsWithTheLaunchVelocity) {
    ShotCourse course;
    course.Flat("FWY");
    ShotInput shot = Shot({10, 1, 0}, {10, 1, 200}, kClubIron7, 67.4f, 25.35f);
    const BallState start = InitBall(shot);
    ShotTrajectory path;
    SimulateShot(course.world, {}, shot, path);
    ASSERT_GT(path.trajectoryCount, 20);
    EXPECT_EQ(path.points[0].surface, kNoSurface);
    EXPECT_EQ(path.points[1].pos.z, start.pos.z + start.vel.z * start.dt);
    EXPECT_EQ(path.points[1].pos.y, start.pos.y + start.vel.y * start.dt);
    float highest = 0.0f;
    for (int i = 0; i <= path.trajectoryCount; ++i) {
        EXPECT_EQ(path.points[i].pos.x, 10.0f) << i;
        highest = std::max(highest, path.points[i].pos.y);
    }
    EXPECT_GT(highest, 15.0f);
    EXPECT_EQ(shot.surface, core::kSurfaceFairway);
    EXPECT_EQ(shot.ballPos.y, 1.01f);
    EXPECT_GT(shot.ballPos.z, 100.0f);
    EXPECT_EQ(shot.finished, 0);
    // The last point repeats the resting one, without its events.
    const TrajectoryPoint& last = path.points[path.trajectoryCount];
    const TrajectoryPoint& before = path.points[path.trajectoryCount - 1];
    EXPECT_EQ(last.pos.z, before.pos.z);
    EXPECT_EQ(last.bounced, 0);
}

TEST(BallFlight, WindActsOnlyUntilTheFirstContact) {
    ShotCourse course;
    course.Flat("FWY");
    ShotInput shot = Shot({0, 1, 0}, {0, 1, 200}, kClubIron5, 74.8f, 20.15f);
    shot.wind = {3.0f, 0.0f, 0.0f};
    ShotTrajectory path;
    SimulateShot(course.world, {}, shot, path);
    int firstBounce = 0;
    while (path.points[firstBounce + 1].pos.y > 1.02f) {
        ++firstBounce;
    }
    ++firstBounce;
    ASSERT_LT(firstBounce + 3, path.trajectoryCount);
    // Before landing the wind bends the path; after it nothing turns the ball any more, so the
    // remaining points lie on one line in the ground plane.
    const auto offLine = [&](int from, int to, int i) {
        const Vec3 a = path.points[from].pos, b = path.points[to].pos, p = path.points[i].pos;
        const Vec3 d = b - a, e = p - a;
        return std::fabs(d.x * e.z - d.z * e.x) / std::sqrt(d.x * d.x + d.z * d.z);
    };
    EXPECT_GT(offLine(0, firstBounce, firstBounce / 2), 0.5f);
    for (int i = firstBounce; i <= path.trajectoryCount; ++i) {
        EXPECT_LT(offLine(firstBounce, path.trajectoryCount, i), 2e-3f) << i;
    }
    // Putts never fly, so wind never moves them.
    ShotInput putt = Shot({0, 1, 0}, {0, 1, 10}, kClubPutter, 6.0f, 0.0f);
    ShotInput windy = putt;
    windy.wind = {3.0f, 0.0f, 3.0f};
    SimulateShot(course.world, {}, putt, path);
    SimulateShot(course.world, {}, windy, path);
    EXPECT_EQ(putt.ballPos.z, windy.ballPos.z);
    EXPECT_EQ(putt.ballPos.x, windy.ballPos.x);
}

TEST(BallFlight, LeavingTheCourseEndsTheShotOutOfBounds) {
    ShotCourse course;
    course.Flat("FWY");
    ShotInput shot = Shot({140, 1, 0}, {300, 1, 0}, kClubDriver, 114.1f, 10.0f);
    ShotTrajectory path;
    SimulateShot(course.world, {.par = 4, .strokes = 1}, shot, path);
    EXPECT_EQ(shot.surface, core::kSurfaceOutOfBounds);
    EXPECT_GT(shot.ballPos.x, 150.0f);
    EXPECT_EQ(shot.finished, 0);
    // One stroke short of the limit: the penalty will reach it, so the hole is over.
    shot = Shot({140, 1, 0}, {300, 1, 0}, kClubDriver, 114.1f, 10.0f);
    SimulateShot(course.world, {.par = 4, .strokes = 7}, shot, path);
    EXPECT_EQ(shot.finished, 1);
    EXPECT_EQ(shot.limitReached, 1);
    // At twice the par the hole is over wherever the ball lies.
    shot = Shot({0, 1, 0}, {0, 1, 100}, kClubIron7, 67.4f, 25.35f);
    SimulateShot(course.world, {.par = 4, .strokes = 8}, shot, path);
    EXPECT_EQ(shot.surface, core::kSurfaceFairway);
    EXPECT_EQ(shot.limitReached, 1);
    shot = Shot({0, 1, 0}, {0, 1, 100}, kClubIron7, 67.4f, 25.35f);
    SimulateShot(course.world, {.par = 4, .strokes = 7}, shot, path);
    EXPECT_EQ(shot.finished, 0);
}

TEST(BallFlight, WaterStopsTheBallAndHidesIt) {
    ShotCourse course;
    course.Patch("WTR", -20, 60, 20, 200, 1.2f).Patch("FWY", -150, -90, 150, 690, 1.0f).Ready();
    ShotInput shot = Shot({0, 1, 0}, {0, 1, 100}, kClubIron7, 67.4f, 25.35f);
    ShotTrajectory path;
    SimulateShot(course.world, {.par = 3, .strokes = 5}, shot, path);
    EXPECT_EQ(shot.surface, core::kSurfaceWater);
    EXPECT_FLOAT_EQ(shot.ballPos.y, 1.21f);
    EXPECT_EQ(path.hiddenAtEnd, 1);
    EXPECT_EQ(shot.finished, 1);  // stroke 2 x par - 1 in water ends the hole at the limit
    EXPECT_EQ(shot.limitReached, 1);
    EXPECT_EQ(path.points[path.trajectoryCount - 1].bounced, 1);
}

TEST(BallFlight, ObjectsKnockTheBallDown) {
    ShotCourse open;
    open.Flat("FWY");
    ShotCourse fenced;
    fenced.Patch("FWY", -150, -90, 150, 690, 1.0f);
    fixtures::AddGroup(
        fenced.model, "SSTfenceE",
        {fixtures::V(-10, 0, 30), fixtures::V(-10, 40, 30), fixtures::V(10, 0, 30), fixtures::V(10, 40, 30)},
        {0, 1, 2, 2, 1, 3});
    fenced.Ready();
    ShotInput shot = Shot({0, 1, 25}, {0, 1, 100}, kClubIron7, 60.0f, 20.0f);
    ShotInput unhindered = shot;
    ShotTrajectory path;
    SimulateShot(open.world, {}, unhindered, path);
    SimulateShot(fenced.world, {}, shot, path);
    int hitAt = 0;
    for (int i = 1; i <= path.trajectoryCount && !hitAt; ++i) {
        hitAt = path.points[i].objectKind == 'E' ? i : 0;
    }
    ASSERT_GT(hitAt, 0);
    EXPECT_EQ(path.points[hitAt].objectHit, 1);
    // The ball is not stopped at the fence but loses most of its speed there and drops.
    EXPECT_GT(unhindered.ballPos.z, 120.0f);
    EXPECT_LT(shot.ballPos.z, 60.0f);
}

TEST(BallFlight, StepCapStopsARunawayBall) {
    ShotCourse course;
    course.Patch("WAY", -150, -90, 150, 690, 1.0f).Ready();
    ShotInput shot = Shot({0, 1, -80}, {0, 1, 600}, kClubPutter, 100.0f, 0.0f);
    ShotTrajectory path;
    SimulateShot(course.world, {}, shot, path);
    EXPECT_EQ(path.trajectoryCount, kMaxShotSteps + 1);
    EXPECT_EQ(path.points[kMaxShotSteps + 1].pos.z, path.points[kMaxShotSteps].pos.z);
    EXPECT_EQ(shot.ballPos.z, path.points[kMaxShotSteps].pos.z);
    EXPECT_EQ(shot.surface, core::kSurfaceCartPath);
}

TEST(BallFlight, UnknownTerrainPlaysAsRough) {
    ShotCourse course;
    course.Patch("XYZ", -150, -90, 150, 690, 1.0f).Ready();
    ShotInput shot = Shot({0, 1, 0}, {0, 1, 100}, kClubIron7, 67.4f, 25.35f);
    ShotTrajectory path;
    SimulateShot(course.world, {}, shot, path);
    EXPECT_EQ(shot.surface, core::kSurfaceRough);
}

// Rolling hills, so that flight, bounces, slopes and friction all take part.
void MakeHills(ShotCourse& course) {
    const auto hills = [](float x, float z) {
        return 6.0f + 2.5f * std::sin(x * 0.07f) * std::cos(z * 0.045f);
    };
    fixtures::AddHeightfield(course.model, "GRE", -15.0f, 395.0f, 15.0f, 425.0f, 30, hills);
    fixtures::AddHeightfield(course.model, "ROU", -150.0f, -90.0f, 150.0f, 690.0f, 90, hills);
    course.Ready();
}

uint32_t Bits(float v) {
    return std::bit_cast<uint32_t>(v);
}

// These exact results are what every client must compute; a change here is a change of the game.
TEST(BallFlight, TrajectoriesArePinnedToTheBit) {
    ShotCourse course;
    MakeHills(course);
    ShotInput drive = Shot({0, 0, 0}, {20, 0, 400}, kClubDriver, 114.1f, 10.0f);
    drive.curveRate = -6.0f;
    drive.push = 2.0f;
    drive.wind = {-1.2f, 0.0f, 0.9f};
    Vec3 seat = drive.ballPos;
    ASSERT_TRUE(course::SeatOnTerrain(course.grid, seat));
    drive.ballPos = drive.startPos = seat;
    ShotTrajectory path;
    SimulateShot(course.world, {.pin = {0, 6, 410}}, drive, path);
    EXPECT_EQ(path.trajectoryCount, 156);
    EXPECT_EQ(Bits(drive.ballPos.x), 3251535830u);
    EXPECT_EQ(Bits(drive.ballPos.y), 1088160370u);
    EXPECT_EQ(Bits(drive.ballPos.z), 1131151958u);
    EXPECT_EQ(Bits(path.points[40].pos.x), 3223018934u);
    EXPECT_EQ(Bits(path.points[40].pos.y), 1103506452u);

    ShotInput putt = Shot({6, 0, 402}, {0, 0, 410}, kClubPutter, 9.0f, 0.0f);
    putt.pinDistance = 10.0f;
    seat = putt.ballPos;
    ASSERT_TRUE(course::SeatOnTerrain(course.grid, seat));
    putt.ballPos = putt.startPos = seat;
    SimulateShot(course.world, {.pin = {0, 6, 410}}, putt, path);
    EXPECT_EQ(path.trajectoryCount, 188);
    EXPECT_EQ(Bits(putt.ballPos.x), 3246551786u);
    EXPECT_EQ(Bits(putt.ballPos.z), 1137727269u);
}

}  // namespace
}  // namespace physics
