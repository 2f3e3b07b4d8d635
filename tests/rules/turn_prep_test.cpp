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

namespace rules {
namespace {

using platform::Vec3;

TEST(AutomaticClub, DrivesOnlyFromATeeBeyond235) {
    EXPECT_EQ(physics::AutomaticClub(core::kSurfaceTee, physics::kLieTeed, 236.0f, physics::kClubIron5),
              physics::kClubDriver);
    EXPECT_EQ(physics::AutomaticClub(core::kSurfaceTee, physics::kLieTeed, 230.0f, physics::kClubDriver),
              physics::kClubWood3);
    EXPECT_EQ(physics::AutomaticClub(core::kSurfaceTee, physics::kLieTeed, 220.0f, physics::kClubDriver),
              physics::kClubWood4);
    EXPECT_EQ(physics::AutomaticClub(core::kSurfaceTee, physics::kLieClean, 240.0f, physics::kClubDriver),
              physics::kClubWood3);
    EXPECT_EQ(physics::AutomaticClub(core::kSurfaceTee, physics::kLieTeed, 106.0f, physics::kClubDriver),
              physics::kClubIron9);
    EXPECT_EQ(physics::AutomaticClub(core::kSurfaceTee, physics::kLieTeed, 50.0f, physics::kClubIron7),
              physics::kClubIron7);
}

TEST(AutomaticClub, EachSurfaceHasItsOwnSteps) {
    EXPECT_EQ(physics::AutomaticClub(core::kSurfaceFairway, physics::kLieClean, 250.0f, physics::kClubDriver),
              physics::kClubWood5);
    EXPECT_EQ(physics::AutomaticClub(core::kSurfaceFairway, physics::kLieClean, 140.0f, physics::kClubDriver),
              physics::kClubIron7);
    EXPECT_EQ(physics::AutomaticClub(core::kSurfaceFairway, physics::kLieClean, 50.0f, physics::kClubDriver),
              physics::kClubSandWedge);
    EXPECT_EQ(physics::AutomaticClub(core::kSurfaceRough, physics::kLieRough, 100.0f, physics::kClubDriver),
              physics::kClubIron9);
    EXPECT_EQ(
        physics::AutomaticClub(core::kSurfaceRough, physics::kLieDeepRough, 200.0f, physics::kClubDriver),
        physics::kClubIron5);
    EXPECT_EQ(physics::AutomaticClub(core::kSurfaceBunker, physics::kLieSand, 200.0f, physics::kClubDriver),
              physics::kClubSandWedge);
    EXPECT_EQ(physics::AutomaticClub(core::kSurfaceGreen, physics::kLiePutting, 20.0f, physics::kClubPutter),
              physics::kClubPutter);
    EXPECT_EQ(physics::AutomaticClub(core::kSurfaceCartPath, physics::kLieClean, 120.0f, physics::kClubIron6),
              physics::kClubIron6);
}

TEST(GaugeHintMark, ScalesShortClubsByDistance) {
    EXPECT_EQ(physics::GaugeHintMark(physics::kClubPutter, 5.0f), 2);          // 6 / 3
    EXPECT_EQ(physics::GaugeHintMark(physics::kClubPutter, 0.2f), 1);          // never below 1
    EXPECT_EQ(physics::GaugeHintMark(physics::kClubSandWedge, 20.5f), 3);      // 23 / 6
    EXPECT_EQ(physics::GaugeHintMark(physics::kClubPitchingWedge, 90.0f), 8);  // 96 / 12
    EXPECT_EQ(physics::GaugeHintMark(physics::kClubPitchingWedge, 60.0f), 5);  // 66 / 12
    EXPECT_EQ(physics::GaugeHintMark(physics::kClubPutter, 1.0e9f), 8);
    EXPECT_EQ(physics::GaugeHintMark(physics::kClubPutter, std::nanf("")), 8);
    EXPECT_EQ(physics::GaugeHintMark(physics::kClubIron7, 10.0f), 8);
}

physics::LieSituation Situation(int surface, float z) {
    physics::LieSituation s;
    s.surface = static_cast<uint8_t>(surface);
    s.teePoint = Vec3{0.0f, 0.0f, 0.0f};
    s.ball = Vec3{0.0f, 2.0f, z};
    s.pin = Vec3{0.0f, 0.0f, 400.0f};
    s.par = 4;
    return s;
}

TEST(LieClass, FixedLiesDrawNothing) {
    core::Rand15 rand;
    physics::LieSituation tee = Situation(core::kSurfaceTee, 0.0f);
    EXPECT_EQ(physics::DrawLieClass(tee, rand), physics::kLieTeed);
    tee.ball.x = 0.001f;
    EXPECT_EQ(physics::DrawLieClass(tee, rand), physics::kLieClean);
    EXPECT_EQ(physics::DrawLieClass(Situation(core::kSurfaceGreen, 395.0f), rand), physics::kLiePutting);
    physics::LieSituation fromWater = Situation(core::kSurfaceFairway, 230.0f);
    fromWater.lastContactSurface = core::kSurfaceWater;
    EXPECT_EQ(physics::DrawLieClass(fromWater, rand), physics::kLieClean);
    physics::LieSituation sandAgain = Situation(core::kSurfaceBunker, 330.0f);
    sandAgain.prevSurface = core::kSurfaceBunker;
    EXPECT_EQ(physics::DrawLieClass(sandAgain, rand), physics::kLieSand);
    EXPECT_EQ(physics::DrawLieClass(Situation(core::kSurfaceCartPath, 200.0f), rand), physics::kLieClean);
    EXPECT_EQ(rand.state, 1u);
}

// How often each lie comes up over many draws.
double Share(const physics::LieSituation& s, uint8_t lie) {
    core::Rand15 rand;
    rand.Seed(12345);
    int hits = 0;
    const int draws = 30000;
    for (int i = 0; i < draws; ++i) {
        hits += physics::DrawLieClass(s, rand) == lie ? 1 : 0;
    }
    return static_cast<double>(hits) / draws;
}

TEST(LieClass, BadLiesComeAsOftenAsIntended) {
    EXPECT_NEAR(Share(Situation(core::kSurfaceFairway, 230.0f), physics::kLieFairwayBad), 0.1, 0.01);
    EXPECT_NEAR(Share(Situation(core::kSurfaceFairway, 50.0f), physics::kLieFairwayBad), 0.01, 0.004);
    EXPECT_NEAR(Share(Situation(core::kSurfaceFairway, 150.0f), physics::kLieFairwayBad), 0.02, 0.005);
    EXPECT_NEAR(Share(Situation(core::kSurfaceRough, 330.0f), physics::kLieDeepRough), 1.0 / 3.0, 0.02);
    EXPECT_NEAR(Share(Situation(core::kSurfaceRough, 200.0f), physics::kLieDeepRough), 0.2, 0.02);
    EXPECT_NEAR(Share(Situation(core::kSurfaceBunker, 350.0f), physics::kLieBuriedSand), 0.6, 0.02);
    EXPECT_NEAR(Share(Situation(core::kSurfaceBunker, 200.0f), physics::kLieBuriedSand), 0.2, 0.02);
}

// A fairway from z = -50 to 450 rising 1 yard in 10 toward +z, with a green square of 4 x 4 yards
// just off the nominal cup at (0, 400).
struct SmallHole {
    core::FnxModel model;
    course::TerrainGrid grid;
    physics::ShotWorld world;
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
    core::Rand15 rand;
    const Vec3 cup{0.0f, 0.0f, 400.0f};
    for (int i = 0; i < 200; ++i) {
        const physics::PinChoice choice = physics::PlacePin(hole.world, cup, 5, rand);
        ASSERT_GE(choice.pin.x, 1.0f);
        ASSERT_LE(choice.pin.x, 5.0f);
        ASSERT_LE(std::fabs(choice.pin.z - cup.z), 5.0f);
        ASSERT_EQ(choice.pin.y, 50.0f);
        ASSERT_LT(choice.sky, 5);
        physics::Ground ground;
        ASSERT_TRUE(physics::GroundAt(hole.world, choice.pin.x, choice.pin.z, &ground));
        ASSERT_EQ(ground.kind, core::kSurfaceGreen);
    }
}

TEST(PinPlacement, NoGreenFallsBackToTheSeatedCup) {
    SmallHole hole;
    core::Rand15 rand;
    const physics::PinChoice choice = physics::PlacePin(hole.world, Vec3{0.0f, 0.0f, 100.0f}, 0, rand);
    EXPECT_EQ(choice.pin.x, 0.0f);
    EXPECT_EQ(choice.pin.z, 100.0f);
    EXPECT_FLOAT_EQ(choice.pin.y, 15.0f);
    EXPECT_EQ(choice.sky, 0);
}

TEST(PinPlacement, LayupFollowsAPinItStoodOn) {
    physics::HoleMarks marks;
    marks.layupPoint = Vec3{2.0f, 0.0f, 400.0f};
    Vec3 pin{2.0f, 50.0f, 400.0f};
    physics::ApplyPin(marks, pin, Vec3{3.0f, 50.0f, 401.0f});
    EXPECT_EQ(marks.layupPoint.x, 3.0f);
    EXPECT_EQ(pin.z, 401.0f);
    physics::ApplyPin(marks, pin,
                      Vec3{4.0f, 50.0f, 399.0f});  // the same announcement seen twice moves both again
    EXPECT_EQ(marks.layupPoint.x, 4.0f);

    marks.layupPoint = Vec3{0.0f, 0.0f, 200.0f};
    physics::ApplyPin(marks, pin, Vec3{1.0f, 50.0f, 400.0f});
    EXPECT_EQ(marks.layupPoint.z, 200.0f);
}

TEST(Slope, UphillTowardTheTargetIsPositive) {
    SmallHole hole;
    float forward = 0.0f;
    float side = 0.0f;
    physics::MeasureSlope(hole.grid, Vec3{1.3f, 0.0f, 101.7f}, Vec3{1.3f, 0.0f, 300.0f}, forward, side);
    EXPECT_NEAR(forward, std::atan(0.1f), 1e-4f);
    EXPECT_EQ(side, 0.0f);
    physics::MeasureSlope(hole.grid, Vec3{1.3f, 0.0f, 101.7f}, Vec3{1.3f, 0.0f, -30.0f}, forward, side);
    EXPECT_NEAR(forward, -std::atan(0.1f), 1e-4f);
    // Aiming across the slope: the ground rises toward the probe at ball + 2w.
    physics::MeasureSlope(hole.grid, Vec3{1.3f, 0.0f, 101.7f}, Vec3{30.0f, 0.0f, 101.7f}, forward, side);
    EXPECT_EQ(forward, 0.0f);
    EXPECT_NEAR(side, std::atan(0.1f), 1e-4f);
    // Standing on the target leaves no aim line: level, not undefined.
    physics::MeasureSlope(hole.grid, Vec3{0.0f, 0.0f, 100.0f}, Vec3{0.0f, 9.0f, 100.0f}, forward, side);
    EXPECT_EQ(forward, 0.0f);
    EXPECT_EQ(side, 0.0f);
}

struct PreparedTurn : ::testing::Test {
    SmallHole hole;
    MatchRules match;
    RuleOptions options;
    physics::HoleMarks marks;
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
    physics::ShotInput shot;
    shot.player = 1;
    shot.lieClass = physics::kLieTeed;
    shot.launchSpeed = 99.0f;
    const TurnPreparation prep = PrepareTurn(shot, match, options, marks, hole.world);
    EXPECT_EQ(match.players[1].strokes, 1);
    EXPECT_EQ(shot.lieClass, physics::kLieTeed);
    EXPECT_EQ(shot.launchSpeed, 0.0f);
    EXPECT_FLOAT_EQ(shot.pinDistance, 230.0f);
    EXPECT_EQ(shot.club, physics::kClubWood3);
    EXPECT_EQ(shot.swingKind, physics::kSwingWood);
    EXPECT_EQ(prep.gaugeHintMark, 8);
    EXPECT_EQ(shot.aimTarget.z, 240.0f);
    EXPECT_NEAR(shot.slopeForward, std::atan(0.1f), 1e-4f);
}

TEST_F(PreparedTurn, BallOnTheGreenPutsAtThePin) {
    match.players[0].ballPos = Vec3{1.3f, 28.0f, 225.0f};
    match.players[0].surface = core::kSurfaceGreen;
    match.players[0].club = physics::kClubIron7;
    physics::ShotInput shot;
    shot.lieClass = physics::kLiePutting;
    PrepareTurn(shot, match, options, marks, hole.world);
    EXPECT_EQ(shot.club, physics::kClubPutter);
    EXPECT_EQ(shot.swingKind, physics::kSwingPutter);
    EXPECT_EQ(shot.aimTarget.z, 231.3f);
    EXPECT_EQ(shot.surface, core::kSurfaceGreen);
    EXPECT_EQ(shot.startSurface, core::kSurfaceGreen);
}

TEST_F(PreparedTurn, DriverStepPlacesThePinOnceAndAnnouncesTheTurn) {
    marks.cupPoint = Vec3{0.0f, 0.0f, 400.0f};
    physics::ShotInput current;
    DriverView view;
    view.world = &hole.world;
    view.skyCount = 3;
    core::Rand15 rand;
    TurnAnnouncement first = NextTurnStep(match, options, marks, current, view, rand);
    EXPECT_TRUE(first.pinPlaced);
    EXPECT_FALSE(first.holeOver);
    EXPECT_EQ(match.pin.y, 50.0f);
    EXPECT_EQ(first.turn.player, 0);
    EXPECT_EQ(first.turn.lieClass, physics::kLieTeed);  // every ball starts on the tee point

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
}  // namespace rules
