#include <gtest/gtest.h>

#include <cmath>

#include "game/core/surface_kind.h"
#include "game/physics/auto_club.h"
#include "game/physics/club_table.h"
#include "game/physics/lie_class.h"
#include "game/physics/pin_placement.h"
#include "game/physics/shot_pipeline.h"
#include "game/rules/next_turn.h"
#include "game/rules/turn_prep.h"
#include "tests/course/model_fixtures.h"

namespace physics {
namespace {

using platform::Vec3;

TEST(AutomaticClub, DrivesOnlyFromATeeBeyond235) {
    EXPECT_EQ(AutomaticClub(course::kSurfaceTee, kLieTeed, 236.0f, kClubIron5), kClubDriver);
    EXPECT_EQ(AutomaticClub(course::kSurfaceTee, kLieTeed, 230.0f, kClubDriver), kClubWood3);
    EXPECT_EQ(AutomaticClub(course::kSurfaceTee, kLieTeed, 220.0f, kClubDriver), kClubWood4);
    EXPECT_EQ(AutomaticClub(course::kSurfaceTee, kLieClean, 240.0f, kClubDriver), kClubWood3);
    EXPECT_EQ(AutomaticClub(course::kSurfaceTee, kLieTeed, 106.0f, kClubDriver), kClubIron9);
    EXPECT_EQ(AutomaticClub(course::kSurfaceTee, kLieTeed, 50.0f, kClubIron7), kClubIron7);
}

TEST(AutomaticClub, EachSurfaceHasItsOwnSteps) {
    EXPECT_EQ(AutomaticClub(course::kSurfaceFairway, kLieClean, 250.0f, kClubDriver), kClubWood5);
    EXPECT_EQ(AutomaticClub(course::kSurfaceFairway, kLieClean, 140.0f, kClubDriver), kClubIron7);
    EXPECT_EQ(AutomaticClub(course::kSurfaceFairway, kLieClean, 50.0f, kClubDriver), kClubSandWedge);
    EXPECT_EQ(AutomaticClub(course::kSurfaceRough, kLieRough, 100.0f, kClubDriver), kClubIron9);
    EXPECT_EQ(AutomaticClub(course::kSurfaceRough, kLieDeepRough, 200.0f, kClubDriver), kClubIron5);
    EXPECT_EQ(AutomaticClub(course::kSurfaceBunker, kLieSand, 200.0f, kClubDriver), kClubSandWedge);
    EXPECT_EQ(AutomaticClub(course::kSurfaceGreen, kLiePutting, 20.0f, kClubPutter), kClubPutter);
    EXPECT_EQ(AutomaticClub(course::kSurfaceCartPath, kLieClean, 120.0f, kClubIron6), kClubIron6);
}

TEST(GaugeHintMark, ScalesShortClubsByDistance) {
    EXPECT_EQ(GaugeHintMark(kClubPutter, 5.0f), 2);          // 6 / 3
    EXPECT_EQ(GaugeHintMark(kClubPutter, 0.2f), 1);          // never below 1
    EXPECT_EQ(GaugeHintMark(kClubSandWedge, 20.5f), 3);      // 23 / 6
    EXPECT_EQ(GaugeHintMark(kClubPitchingWedge, 90.0f), 8);  // 96 / 12
    EXPECT_EQ(GaugeHintMark(kClubPitchingWedge, 60.0f), 5);  // 66 / 12
    EXPECT_EQ(GaugeHintMark(kClubPutter, 1.0e9f), 8);
    EXPECT_EQ(GaugeHintMark(kClubPutter, std::nanf("")), 8);
    EXPECT_EQ(GaugeHintMark(kClubIron7, 10.0f), 8);
}

LieSituation Situation(int surface, float z) {
    LieSituation s;
    s.surface = static_cast<uint8_t>(surface);
    s.teePoint = Vec3{0.0f, 0.0f, 0.0f};
    s.ball = Vec3{0.0f, 2.0f, z};
    s.pin = Vec3{0.0f, 0.0f, 400.0f};
    s.par = 4;
    return s;
}

TEST(LieClass, FixedLiesDrawNothing) {
    Rand15 rand;
    LieSituation tee = Situation(course::kSurfaceTee, 0.0f);
    EXPECT_EQ(DrawLieClass(tee, rand), kLieTeed);
    tee.ball.x = 0.001f;
    EXPECT_EQ(DrawLieClass(tee, rand), kLieClean);
    EXPECT_EQ(DrawLieClass(Situation(course::kSurfaceGreen, 395.0f), rand), kLiePutting);
    LieSituation fromWater = Situation(course::kSurfaceFairway, 230.0f);
    fromWater.lastContactSurface = course::kSurfaceWater;
    EXPECT_EQ(DrawLieClass(fromWater, rand), kLieClean);
    LieSituation sandAgain = Situation(course::kSurfaceBunker, 330.0f);
    sandAgain.prevSurface = course::kSurfaceBunker;
    EXPECT_EQ(DrawLieClass(sandAgain, rand), kLieSand);
    EXPECT_EQ(DrawLieClass(Situation(course::kSurfaceCartPath, 200.0f), rand), kLieClean);
    EXPECT_EQ(rand.state, 1u);
}

// How often each lie comes up over many draws.
double Share(const LieSituation& s, uint8_t lie) {
    Rand15 rand;
    rand.Seed(12345);
    int hits = 0;
    const int draws = 30000;
    for (int i = 0; i < draws; ++i) {
        hits += DrawLieClass(s, rand) == lie ? 1 : 0;
    }
    return static_cast<double>(hits) / draws;
}

TEST(LieClass, BadLiesComeAsOftenAsIntended) {
    EXPECT_NEAR(Share(Situation(course::kSurfaceFairway, 230.0f), kLieFairwayBad), 0.1, 0.01);
    EXPECT_NEAR(Share(Situation(course::kSurfaceFairway, 50.0f), kLieFairwayBad), 0.01, 0.004);
    EXPECT_NEAR(Share(Situation(course::kSurfaceFairway, 150.0f), kLieFairwayBad), 0.02, 0.005);
    EXPECT_NEAR(Share(Situation(course::kSurfaceRough, 330.0f), kLieDeepRough), 1.0 / 3.0, 0.02);
    EXPECT_NEAR(Share(Situation(course::kSurfaceRough, 200.0f), kLieDeepRough), 0.2, 0.02);
    EXPECT_NEAR(Share(Situation(course::kSurfaceBunker, 350.0f), kLieBuriedSand), 0.6, 0.02);
    EXPECT_NEAR(Share(Situation(course::kSurfaceBunker, 200.0f), kLieBuriedSand), 0.2, 0.02);
}

// A fairway from z = -50 to 450 rising 1 yard in 10 toward +z, with a green square of 4 x 4 yards
// just off the nominal cup at (0, 400).
struct SmallHole {
    course::FnxModel model;
    course::TerrainGrid grid;
    ShotWorld world;
    SmallHole() {
        fixtures::AddFlatQuad(model, "GRE", 1.0f, 398.0f, 5.0f, 402.0f, 50.0f);
        fixtures::AddHeightfield(model, "FWY", -40.0f, -50.0f, 40.0f, 450.0f, 20,
                                 [](float, float z) { return 5.0f + 0.1f * z; });
        grid = course::BuildTerrainGrid(model);
        world.model = &model;
        world.grid = &grid;
    }
};

TEST(PinPlacement, PinAlwaysOnTheGreenNearTheCup) {
    SmallHole hole;
    Rand15 rand;
    const Vec3 cup{0.0f, 0.0f, 400.0f};
    for (int i = 0; i < 200; ++i) {
        const PinChoice choice = PlacePin(hole.world, cup, 5, rand);
        ASSERT_GE(choice.pin.x, 1.0f);
        ASSERT_LE(choice.pin.x, 5.0f);
        ASSERT_LE(std::fabs(choice.pin.z - cup.z), 5.0f);
        ASSERT_EQ(choice.pin.y, 50.0f);
        ASSERT_LT(choice.sky, 5);
        Ground ground;
        ASSERT_TRUE(GroundAt(hole.world, choice.pin.x, choice.pin.z, &ground));
        ASSERT_EQ(ground.kind, course::kSurfaceGreen);
    }
}

TEST(PinPlacement, NoGreenFallsBackToTheSeatedCup) {
    SmallHole hole;
    Rand15 rand;
    const PinChoice choice = PlacePin(hole.world, Vec3{0.0f, 0.0f, 100.0f}, 0, rand);
    EXPECT_EQ(choice.pin.x, 0.0f);
    EXPECT_EQ(choice.pin.z, 100.0f);
    EXPECT_FLOAT_EQ(choice.pin.y, 15.0f);
    EXPECT_EQ(choice.sky, 0);
}

TEST(PinPlacement, LayupFollowsAPinItStoodOn) {
    HoleMarks marks;
    marks.layupPoint = Vec3{2.0f, 0.0f, 400.0f};
    Vec3 pin{2.0f, 50.0f, 400.0f};
    ApplyPin(marks, pin, Vec3{3.0f, 50.0f, 401.0f});
    EXPECT_EQ(marks.layupPoint.x, 3.0f);
    EXPECT_EQ(pin.z, 401.0f);
    ApplyPin(marks, pin, Vec3{4.0f, 50.0f, 399.0f});  // the same announcement seen twice moves both again
    EXPECT_EQ(marks.layupPoint.x, 4.0f);

    marks.layupPoint = Vec3{0.0f, 0.0f, 200.0f};
    ApplyPin(marks, pin, Vec3{1.0f, 50.0f, 400.0f});
    EXPECT_EQ(marks.layupPoint.z, 200.0f);
}

TEST(Slope, UphillTowardTheTargetIsPositive) {
    SmallHole hole;
    float forward = 0.0f;
    float side = 0.0f;
    MeasureSlope(hole.grid, Vec3{1.3f, 0.0f, 101.7f}, Vec3{1.3f, 0.0f, 300.0f}, forward, side);
    EXPECT_NEAR(forward, std::atan(0.1f), 1e-4f);
    EXPECT_EQ(side, 0.0f);
    MeasureSlope(hole.grid, Vec3{1.3f, 0.0f, 101.7f}, Vec3{1.3f, 0.0f, -30.0f}, forward, side);
    EXPECT_NEAR(forward, -std::atan(0.1f), 1e-4f);
    // Aiming across the slope: the ground rises toward the probe at ball + 2w.
    MeasureSlope(hole.grid, Vec3{1.3f, 0.0f, 101.7f}, Vec3{30.0f, 0.0f, 101.7f}, forward, side);
    EXPECT_EQ(forward, 0.0f);
    EXPECT_NEAR(side, std::atan(0.1f), 1e-4f);
    // Standing on the target leaves no aim line: level, not undefined.
    MeasureSlope(hole.grid, Vec3{0.0f, 0.0f, 100.0f}, Vec3{0.0f, 9.0f, 100.0f}, forward, side);
    EXPECT_EQ(forward, 0.0f);
    EXPECT_EQ(side, 0.0f);
}

struct PreparedTurn : ::testing::Test {
    SmallHole hole;
    MatchRules match;
    RuleOptions options;
    HoleMarks marks;
    void SetUp() override {
        options.playerCount = 2;
        marks.teePoint = Vec3{1.3f, 5.13f, 1.3f};  // off the lattice lines of the terrain
        marks.layupPoint = Vec3{0.0f, 0.0f, 240.0f};
        ResetRulesForHole(match, 1, 4, marks.teePoint);
        match.pin = Vec3{1.3f, 5.13f, 231.3f};
    }
};

TEST_F(PreparedTurn, BeginnerOnTheTeeGetsTheSpoonAndTheLayupAim) {
    options.gameLevel = 2;
    ShotInput shot;
    shot.player = 1;
    shot.lieClass = kLieTeed;
    shot.launchSpeed = 99.0f;
    const TurnPreparation prep = PrepareTurn(shot, match, options, marks, hole.world);
    EXPECT_EQ(match.players[1].strokes, 1);
    EXPECT_EQ(shot.lieClass, kLieTeed);
    EXPECT_EQ(shot.launchSpeed, 0.0f);
    EXPECT_FLOAT_EQ(shot.pinDistance, 230.0f);
    EXPECT_EQ(shot.club, kClubWood3);
    EXPECT_EQ(shot.swingKind, kSwingWood);
    EXPECT_EQ(prep.gaugeHintMark, 8);
    EXPECT_EQ(shot.aimTarget.z, 240.0f);
    EXPECT_NEAR(shot.slopeForward, std::atan(0.1f), 1e-4f);
}

TEST_F(PreparedTurn, BallOnTheGreenPutsAtThePin) {
    match.players[0].ballPos = Vec3{1.3f, 28.0f, 225.0f};
    match.players[0].surface = course::kSurfaceGreen;
    match.players[0].club = kClubIron7;
    ShotInput shot;
    shot.lieClass = kLiePutting;
    PrepareTurn(shot, match, options, marks, hole.world);
    EXPECT_EQ(shot.club, kClubPutter);
    EXPECT_EQ(shot.swingKind, kSwingPutter);
    EXPECT_EQ(shot.aimTarget.z, 231.3f);
    EXPECT_EQ(shot.surface, course::kSurfaceGreen);
    EXPECT_EQ(shot.startSurface, course::kSurfaceGreen);
}

TEST_F(PreparedTurn, DriverStepPlacesThePinOnceAndAnnouncesTheTurn) {
    marks.cupPoint = Vec3{0.0f, 0.0f, 400.0f};
    ShotInput current;
    DriverView view;
    view.world = &hole.world;
    view.skyCount = 3;
    Rand15 rand;
    TurnAnnouncement first = NextTurnStep(match, options, marks, current, view, rand);
    EXPECT_TRUE(first.pinPlaced);
    EXPECT_FALSE(first.holeOver);
    EXPECT_EQ(match.pin.y, 50.0f);
    EXPECT_EQ(first.turn.player, 0);
    EXPECT_EQ(first.turn.lieClass, kLieTeed);  // every ball starts on the tee point

    match.turnCounter = 1;
    view.wind = first.wind;
    TurnAnnouncement second = NextTurnStep(match, options, marks, current, view, rand);
    EXPECT_FALSE(second.pinPlaced);
    EXPECT_EQ(second.turn.player, 1);
    EXPECT_LE(std::fabs(second.wind.windSpeed - first.wind.windSpeed), 0.25f);

    match.holeSettled = 1;
    EXPECT_TRUE(NextTurnStep(match, options, marks, current, view, rand).holeOver);
}

}  // namespace
}  // namespace physics
