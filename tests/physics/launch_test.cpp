#include <gtest/gtest.h>

#include <cmath>

#include "game/core/surface_kind.h"
#include "game/physics/club_table.h"
#include "game/physics/launch.h"

namespace physics {
namespace {

ShotInput Shot(int club, int lieClass, int surface = core::kSurfaceFairway) {
    ShotInput shot;
    shot.club = static_cast<uint8_t>(club);
    shot.lieClass = static_cast<uint8_t>(lieClass);
    shot.surface = static_cast<uint8_t>(surface);
    shot.swingKind = SwingKindOfClub(club);
    return shot;
}

GaugeReadings Perfect() {
    GaugeReadings g;
    g.p1 = kGaugeTopMark;
    g.p2 = kGaugeImpactMark;
    return g;
}

LaunchConditions Conditions(GaugeReadings g, int gameLevel = 0) {
    LaunchConditions c;
    c.gauge = g;
    c.gameLevel = gameLevel;
    return c;
}

TEST(GaugeRate, LieLevelPowerShotAndSpinApplyInOrderWithTruncation) {
    SpinChoice none;
    ShotInput drive = Shot(kClubDriver, kLieTeed, core::kSurfaceTee);
    EXPECT_EQ(GaugeRate(drive, 0, none), 80);

    ShotInput spoon = Shot(kClubWood3, kLieTeed, core::kSurfaceTee);
    EXPECT_EQ(GaugeRate(spoon, 0, none), 68);

    // 90 x 0.9 = 81, x 0.8 = 64 (64.8 truncated), x 1.5 = 96.
    ShotInput iron = Shot(kClubIron3, kLieTeed, core::kSurfaceTee);
    iron.powerShot = 1;
    EXPECT_EQ(GaugeRate(iron, 1, none), 96);

    // 50 x 2 = 100, x 0.4 = 40, bite from sand x 1.4 = 56, backspin 0 x 1.2 = 67 (67.2),
    // sidespin 3 x 1.1 = 73 (73.7), both spins x 0.9 = 65 (65.7).
    ShotInput buried = Shot(kClubSandWedge, kLieBuriedSand, core::kSurfaceBunker);
    buried.bite = 1;
    EXPECT_EQ(GaugeRate(buried, 2, SpinChoice{0, 3}), 65);
    EXPECT_EQ(buried.bite, 1);
}

TEST(GaugeRate, ShortPuttsSlowTheGaugeAndLongClubsCannotBite) {
    ShotInput putt = Shot(kClubPutter, kLiePutting, core::kSurfaceGreen);
    putt.bite = 1;
    putt.pinDistance = 1.5f;
    EXPECT_EQ(GaugeRate(putt, 0, SpinChoice{}), 24);
    EXPECT_EQ(putt.bite, 0);
    putt.pinDistance = 4.5f;
    EXPECT_EQ(GaugeRate(putt, 0, SpinChoice{}), 32);
    putt.pinDistance = 4.6f;
    EXPECT_EQ(GaugeRate(putt, 0, SpinChoice{}), 40);
    EXPECT_EQ(GaugeRate(putt, 1, SpinChoice{}), 32);
    putt.pinDistance = 1.0f;
    EXPECT_EQ(GaugeRate(putt, 1, SpinChoice{}), 25);

    ShotInput five = Shot(kClubIron5, kLieClean);
    five.bite = 1;
    GaugeRate(five, 0, SpinChoice{});
    EXPECT_EQ(five.bite, 0);
    ShotInput six = Shot(kClubIron6, kLieClean);
    six.bite = 1;
    EXPECT_EQ(GaugeRate(six, 0, SpinChoice{}), 90);  // 75 x 1.2
    EXPECT_EQ(six.bite, 1);
}

TEST(Gauge, TurnsAtTheTopAndFiresBelowZero) {
    EXPECT_FALSE(GaugeTopReached(1000, 2500, 80));
    EXPECT_TRUE(GaugeTopReached(1000, 2501, 80));
    EXPECT_FALSE(GaugeTopReached(0, 1714, 70));  // 120000 / 70 = 1714 ms
    EXPECT_TRUE(GaugeTopReached(0, 1715, 70));
    EXPECT_FALSE(GaugeBottomReached(1000, 2000, 3000));
    EXPECT_TRUE(GaugeBottomReached(1000, 2000, 3001));
}

TEST(Gauge, TwoClicksOrTheScaleRunningOut) {
    GaugeState g;
    StartGauge(g, 1000, 50);
    EXPECT_FALSE(GaugeFrame(g, 1500));
    EXPECT_FALSE(GaugeClick(g, 3100));  // first click stops the rise at 105
    EXPECT_FALSE(GaugeFrame(g, 4000));
    EXPECT_TRUE(GaugeClick(g, 4900));
    EXPECT_FALSE(GaugeClick(g, 5000));  // a third click does nothing
    EXPECT_FLOAT_EQ(ReadGauge(g).p1, 105.0f);
    EXPECT_FLOAT_EQ(ReadGauge(g).p2, 15.0f);

    // No click at all: the marker turns at the top of the scale and launches when it passes 0.
    StartGauge(g, 0, 50);
    uint32_t now = 0;
    bool launched = false;
    while (!launched && now < 10000) {
        now += 16;
        launched = GaugeFrame(g, now);
    }
    EXPECT_TRUE(launched);
    EXPECT_GT(g.gaugeTop, 2400u);
    EXPECT_LE(g.gaugeTop, 2416u);
    EXPECT_NEAR(ReadGauge(g).p2, 0.0f, 1.0f);
    EXPECT_FALSE(GaugeFrame(g, now + 16));
}

TEST(Gauge, ReadingsFromClickTimes) {
    // 50 units per second: 20 ms per unit. Top click at 105, second click at the impact mark.
    GaugeReadings g = ReadGauge(1000, 1000 + 2100, 1000 + 2100 + 1800, 50);
    EXPECT_FLOAT_EQ(g.p1, 105.0f);
    EXPECT_FLOAT_EQ(g.p2, 15.0f);
    EXPECT_FLOAT_EQ(g.powerError, 0.0f);
    EXPECT_FLOAT_EQ(g.impactError, 0.0f);

    // Second click with the marker still at 40: the impact error is capped.
    g = ReadGauge(0, 2000, 2000 + 1200, 50);
    EXPECT_FLOAT_EQ(g.p2, 40.0f);
    EXPECT_EQ(g.impactSigned, 15.0f);
    EXPECT_EQ(g.impactError, 15.0f);
    EXPECT_FLOAT_EQ(g.powerError, 5.0f);

    // The marker ran out below 0 by itself: a late, negative impact.
    g = ReadGauge(0, 2000, 4001, 50);
    EXPECT_NEAR(g.impactSigned, -15.05f, 1e-4f);
    EXPECT_NEAR(g.impactError, 15.05f, 1e-4f);
}

TEST(Launch, PerfectDriveOffTheTeeKeepsTheClubsNumbers) {
    ShotInput shot = Shot(kClubDriver, kLieTeed, core::kSurfaceTee);
    shot.slopeForward = 0.3f;  // a teed ball ignores the slope
    core::Rand15 rand;
    Launch(shot, Conditions(Perfect()), rand);
    EXPECT_EQ(shot.launchSpeed, 114.1f);
    EXPECT_EQ(shot.elevation, 10.0f);
    EXPECT_EQ(shot.push, 0.0f);
    EXPECT_EQ(shot.curveRate, 0.0f);
    EXPECT_EQ(shot.swingKind, kSwingWood);
    EXPECT_EQ(rand.state, 1u);  // nothing random in a clean wood shot

    ShotInput spun = Shot(kClubDriver, kLieTeed, core::kSurfaceTee);
    LaunchConditions c = Conditions(Perfect());
    c.spin = SpinChoice{4, 0};
    Launch(spun, c, rand);
    EXPECT_FLOAT_EQ(spun.elevation, 12.0f);
    EXPECT_FLOAT_EQ(spun.curveRate, -4.0f);
    EXPECT_FLOAT_EQ(spun.launchSpeed, 114.1f * 0.9f * 0.9f * 1.1f);
}

TEST(Launch, DriverOffTheDeckLosesEightyPercent) {
    ShotInput teed = Shot(kClubDriver, kLieTeed);
    ShotInput deck = Shot(kClubDriver, kLieClean);
    core::Rand15 rand;
    Launch(teed, Conditions(Perfect()), rand);
    Launch(deck, Conditions(Perfect()), rand);
    EXPECT_FLOAT_EQ(deck.launchSpeed, teed.launchSpeed * 0.2f);
}

TEST(Launch, PutterOffTheGreenHalvesAndWanders) {
    float lowest = 0.0f;
    float highest = 0.0f;
    core::Rand15 rand;
    for (int i = 0; i < 200; ++i) {
        ShotInput shot = Shot(kClubPutter, kLieRough, core::kSurfaceRough);
        Launch(shot, Conditions(Perfect()), rand);
        EXPECT_FLOAT_EQ(shot.launchSpeed, 15.6f * 0.94f * 0.5f);
        ASSERT_LE(std::fabs(shot.push), 15.0f);
        lowest = std::min(lowest, shot.push);
        highest = std::max(highest, shot.push);
    }
    EXPECT_LT(lowest, -10.0f);
    EXPECT_GT(highest, 10.0f);

    ShotInput onGreen = Shot(kClubPutter, kLiePutting, core::kSurfaceGreen);
    Launch(onGreen, Conditions(Perfect()), rand);
    EXPECT_EQ(onGreen.push, 0.0f);
    EXPECT_EQ(onGreen.launchSpeed, 15.6f);
}

TEST(Launch, CappedImpactErrorPushesHardButNotFully) {
    GaugeReadings g = ReadGauge(0, 2000, 2000 + 1200, 50);  // marker still at 40
    core::Rand15 rand;
    for (int i = 0; i < 100; ++i) {
        ShotInput shot = Shot(kClubPutter, kLiePutting, core::kSurfaceGreen);
        Launch(shot, Conditions(g), rand);
        EXPECT_GE(shot.push, 13.5f);
        EXPECT_LE(shot.push, 45.0f);
        EXPECT_EQ(shot.elevation, 0.0f);
    }
    // Run out below 0: a negative push.
    ShotInput late = Shot(kClubPutter, kLiePutting, core::kSurfaceGreen);
    Launch(late, Conditions(ReadGauge(0, 2000, 4001, 50)), rand);
    EXPECT_LT(late.push, -13.5f);
}

TEST(Launch, EarlyClickWithAWoodOffTheTeeSkiesTheBall) {
    ShotInput shot = Shot(kClubDriver, kLieTeed, core::kSurfaceTee);
    GaugeReadings g = Perfect();
    g.p2 = 25.0f;
    g.impactSigned = 10.0f;
    g.impactError = 10.0f;
    core::Rand15 rand;
    Launch(shot, Conditions(g), rand);
    EXPECT_FLOAT_EQ(shot.elevation, 55.0f);
    EXPECT_FLOAT_EQ(shot.launchSpeed, 114.1f * 0.5f * (1.0f - 0.05f * 10.0f) * 0.5f);
}

TEST(Launch, DuffAndWildSwingsAreMishits) {
    ShotInput duff = Shot(kClubIron7, kLieClean);
    duff.bite = 1;
    GaugeReadings g = Perfect();
    g.p1 = 85.0f;
    g.powerError = 20.0f;
    core::Rand15 rand;
    Launch(duff, Conditions(g), rand);
    EXPECT_EQ(duff.swingKind, kSwingMishit);
    EXPECT_EQ(duff.bite, 0);
    EXPECT_FLOAT_EQ(duff.elevation, 25.35f * 0.5f);
    EXPECT_FLOAT_EQ(duff.launchSpeed, (1.0f - 6.0f * 0.013f) * 0.4f * 67.4f);

    ShotInput putt = Shot(kClubPutter, kLiePutting, core::kSurfaceGreen);
    g.powerError = 60.0f;
    Launch(putt, Conditions(g), rand);
    EXPECT_EQ(putt.swingKind, kSwingPutter);
}

TEST(Launch, LaunchFieldsStayInRangeForAnyInput) {
    core::Rand15 inputs;
    inputs.Seed(7);
    core::Rand15 rand;
    for (int i = 0; i < 20000; ++i) {
        ShotInput shot = Shot(inputs.Next() % kClubCount, inputs.Next() % 8, inputs.Next() % 9);
        shot.slopeForward = inputs.NextUnit() * 3.0f - 1.5f;
        shot.slopeSide = inputs.NextUnit() * 3.0f - 1.5f;
        LaunchConditions c;
        c.gameLevel = inputs.Next() % 3;
        c.spin = SpinChoice{static_cast<uint8_t>(inputs.Next() % 5), static_cast<uint8_t>(inputs.Next() % 5)};
        c.wind = Wind{inputs.NextUnit() * 3.0f, inputs.NextUnit() * 6.28f};
        const int rate = 16 + inputs.Next() % 150;
        const uint32_t top = static_cast<uint32_t>(inputs.Next() % 2000);
        c.gauge = ReadGauge(0, top, top + static_cast<uint32_t>(inputs.Next() % (top + 40)), rate);
        Launch(shot, c, rand);
        ASSERT_GE(shot.launchSpeed, 0.005f);
        ASSERT_LE(shot.launchSpeed, 200.0f);
        ASSERT_GE(shot.elevation, 0.0f);
        ASSERT_LE(shot.elevation, 70.0f);
        ASSERT_LE(std::fabs(shot.push), 45.0f);
        ASSERT_LE(std::fabs(shot.curveRate), 45.0f);
        if (IsWood(shot.club) && shot.lieClass != kLieTeed && shot.lieClass < kLieSand) {
            ASSERT_GE(shot.slopeForward, -0.5f);
            ASSERT_LE(shot.slopeForward, 0.1f);
        }
    }
}

TEST(Launch, BeginnerLevelHalvesTheSidewaysError) {
    GaugeReadings g = Perfect();
    g.p2 = 16.0f;
    g.impactSigned = 1.0f;
    g.impactError = 1.0f;
    ShotInput normal = Shot(kClubPutter, kLiePutting, core::kSurfaceGreen);
    ShotInput beginner = normal;
    core::Rand15 rand;
    Launch(normal, Conditions(g, 0), rand);
    Launch(beginner, Conditions(g, 2), rand);
    EXPECT_FLOAT_EQ(normal.push, 2.0f);
    EXPECT_FLOAT_EQ(beginner.push, 1.0f);

    ShotInput power = Shot(kClubDriver, kLieTeed, core::kSurfaceTee);
    power.powerShot = 1;
    Launch(power, Conditions(Perfect(), 2), rand);
    EXPECT_FLOAT_EQ(power.launchSpeed, 114.1f * 1.2f);
}

TEST(Wind, RecordVectorLeansAcrossTheHole) {
    const platform::Vec3 along = WindVector(Wind{2.0f, 0.0f});
    EXPECT_FLOAT_EQ(along.z, 1.0f);
    EXPECT_FLOAT_EQ(along.x, 0.0f);
    const platform::Vec3 across = WindVector(Wind{2.0f, 1.5707964f});
    EXPECT_FLOAT_EQ(across.x, -1.2f);
    EXPECT_NEAR(across.z, 0.0f, 1e-6f);
    EXPECT_EQ(across.y, 0.0f);
}

TEST(Wind, StaysWithinBoundsForever) {
    core::Rand15 rand;
    rand.Seed(99);
    Wind wind = WindStep(Wind{}, true, rand);
    for (int i = 0; i < 100000; ++i) {
        wind = WindStep(wind, i % 500 == 0, rand);
        ASSERT_GE(wind.windSpeed, 0.0f);
        ASSERT_LE(wind.windSpeed, kMaxWindSpeed);
        ASSERT_GE(wind.windDirection, 0.0f);
        ASSERT_LT(wind.windDirection, 6.2831855f);
    }
    // Wrapping below 0 and past 2 pi.
    bool wrappedLow = false;
    for (uint32_t seed = 0; seed < 50 && !wrappedLow; ++seed) {
        rand.Seed(seed);
        wrappedLow = WindStep(Wind{1.0f, 0.0f}, false, rand).windDirection > 6.0f;
    }
    EXPECT_TRUE(wrappedLow);

    for (const Wind garbage :
         {Wind{std::nanf(""), 1.0e30f}, Wind{1.0e30f, -1.0e30f}, Wind{-5.0f, std::nanf("")}}) {
        const Wind next = WindStep(garbage, false, rand);
        EXPECT_GE(next.windSpeed, 0.0f);
        EXPECT_LE(next.windSpeed, kMaxWindSpeed);
        EXPECT_GE(next.windDirection, 0.0f);
        EXPECT_LT(next.windDirection, 6.2831855f);
    }
}

TEST(Wind, DriftsEveryFourSeconds) {
    EXPECT_FALSE(WindDriftDue(10000, 14000));
    EXPECT_TRUE(WindDriftDue(10000, 14001));
    EXPECT_TRUE(WindDriftDue(0xFFFFFF00u, 4000));  // the millisecond clock wrapped
}

}  // namespace
}  // namespace physics
