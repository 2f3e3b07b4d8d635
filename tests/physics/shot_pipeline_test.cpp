#include "game/physics/shot_pipeline.h"

#include <gtest/gtest.h>

#include <cstring>

#include "game/core/surface_kind.h"
#include "game/physics/club_table.h"
#include "tests/physics/shot_course.h"

namespace physics {
namespace {

using fixtures::ShotCourse;

ShotSetup FairwaySetup(Vec3 ball, Vec3 aim, uint8_t club) {
    ShotSetup setup;
    setup.ball = ball;
    setup.surface = core::kSurfaceFairway;
    setup.aim = aim;
    setup.pin = aim;
    setup.club = club;
    setup.lieClass = kLieClean;
    return setup;
}

bool SamePath(const ShotTrajectory& a, const ShotTrajectory& b) {
    if (a.trajectoryCount != b.trajectoryCount || a.hiddenAtEnd != b.hiddenAtEnd) {
        return false;
    }
    for (int i = 0; i <= a.trajectoryCount; ++i) {
        if (std::memcmp(&a.points[i].pos, &b.points[i].pos, sizeof(Vec3)) != 0) {
            return false;
        }
    }
    return true;
}

TEST(ShotPipeline, AimShotStartsAFreshRecordAndKeepsThePlayer) {
    ShotCourse course;
    course.Flat("FWY");
    ShotInput shot;
    shot.player = 2;
    shot.finished = 1;  // left over from the previous shot
    shot.limitReached = 1;
    shot.launchSpeed = 70.0f;
    ShotSetup setup = FairwaySetup({0, 1, 0}, {0, 1, 150}, 99);
    setup.pin = {0, 4, 4};  // 4 yards away on the ground, 3 above
    AimShot(shot, setup, course.world);
    EXPECT_EQ(shot.player, 2);
    EXPECT_EQ(shot.finished, 0);
    EXPECT_EQ(shot.limitReached, 0);
    EXPECT_EQ(shot.launchSpeed, 0.0f);
    EXPECT_EQ(shot.club, kClubDriver);  // a club out of range plays the driver
    EXPECT_EQ(shot.swingKind, SwingKindOfClub(kClubDriver));
    EXPECT_FLOAT_EQ(shot.pinDistance, 5.0f);  // measured in three dimensions, as every client does
    EXPECT_EQ(shot.slopeForward, 0.0f);       // flat ground
}

TEST(ShotPipeline, APerfectSwingHitsBothMarks) {
    for (const int rate : {60, 97, 120, 173}) {
        const GaugeReadings readings = ReadGauge(SwingGauge(rate, 0, 0));
        EXPECT_LT(readings.powerError, 1.0f) << rate;
        EXPECT_LT(readings.impactError, 1.0f) << rate;
    }
    const GaugeState late = SwingGauge(100, 1200, 2400);  // clicks given: taken as they are
    EXPECT_EQ(late.gaugeTop, 1200u);
    EXPECT_EQ(late.gaugeEnd, 2400u);
}

// The shooter launches and sends the record; another client flies the copy it receives. Both must
// end exactly where the whole shot played on one machine ends.
TEST(ShotPipeline, TheStagesOnTwoClientsMatchTheWholeShot) {
    ShotCourse course;
    course.Patch("WTR", -30, 120, 30, 160, 1.0f).Patch("FWY", -150, -90, 150, 690, 1.0f).Ready();
    const ShotSetup setup = FairwaySetup({0, 1, 0}, {0, 1, 140}, kClubIron7);
    const SwingConditions swing{{2, 1}, {1.5f, 0.3f}, 0};

    core::Rand15 wholeRand;
    wholeRand.Seed(7);
    ShotInput whole;
    ShotTrajectory wholePath;
    const ShotReport report =
        PlayShot(course.world, setup, 900, 1800, swing, 4, 1, wholeRand, whole, wholePath);

    core::Rand15 shooterRand;
    shooterRand.Seed(7);
    ShotInput launched;
    AimShot(launched, setup, course.world);
    const int rate = GaugeRate(launched, swing.gameLevel, swing.spin);
    const GaugeReadings readings = LaunchFromGauge(launched, SwingGauge(rate, 900, 1800), swing, shooterRand);
    ShotInput received = launched;  // what the other clients get from the lobby
    ShotTrajectory path;
    uint16_t strokes = 1;
    ShotRest rest;
    FlyAndPlace(course.world, {0, 4, 1, setup.pin, readings.impactError}, received, path, strokes, &rest);

    EXPECT_TRUE(SamePath(path, wholePath));
    EXPECT_EQ(std::memcmp(&received.ballPos, &whole.ballPos, sizeof(Vec3)), 0);
    EXPECT_EQ(strokes, report.strokes);
    EXPECT_EQ(rest.surface, report.rest.surface);
    EXPECT_EQ(report.gaugeRate, rate);
}

TEST(ShotPipeline, ABallInWaterIsPlayedFromBesideItWithAPenalty) {
    ShotCourse course;
    course.Patch("WTR", -40, 60, 40, 260, 1.0f).Patch("FWY", -150, -90, 150, 690, 1.0f).Ready();
    core::Rand15 rand;
    rand.Seed(1);
    ShotInput shot;
    ShotTrajectory path;
    const ShotReport report = PlayShot(course.world, FairwaySetup({0, 1, 0}, {0, 1, 150}, kClubIron7), 0, 0,
                                       {}, 4, 1, rand, shot, path);
    EXPECT_EQ(report.rest.surface, core::kSurfaceWater);
    EXPECT_EQ(report.strokes, 2);  // one penalty stroke
    EXPECT_NE(shot.surface, core::kSurfaceWater);
    EXPECT_LT(shot.ballPos.z, report.rest.pos.z);  // moved back toward the start
}

}  // namespace
}  // namespace physics
