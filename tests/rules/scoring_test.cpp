#include <gtest/gtest.h>

#include "game/core/surface_kind.h"
#include "game/rules/order_of_play.h"
#include "game/rules/settlement.h"
#include "game/rules/stroke_rules.h"
#include "tests/rules/match_fixtures.h"

namespace rules {
namespace {

using namespace fixtures;

TEST(ShotEnded, LostBallCostsAPointAndAStrokeReportedOnlyByTheShooter) {
    PondHole pond;
    RuleOptions o = Options(2);
    o.gameLevel = 2;
    for (int local : {0, 1}) {
        MatchRules m = Match();
        m.players[0].strokes = 2;
        physics::ShotInput shot = Rested(0, core::kSurfaceWater);
        shot.ballPos = platform::Vec3{1.3f, 5.5f, 150.3f};
        shot.startPos = platform::Vec3{1.3f, 5.0f, 20.3f};
        physics::SpinChoice spin{0, 4};
        const RuleReports r = ShotEnded(m, o, shot, local, spin, &pond.world);
        EXPECT_EQ(m.players[0].balance, 99);
        EXPECT_EQ(m.players[0].strokes, 3);
        EXPECT_EQ(m.players[0].scorecard[0], 3);
        EXPECT_EQ(m.players[0].surface, core::kSurfaceFairway);  // dropped short of the pond
        EXPECT_LT(m.players[0].ballPos.z, 140.0f);
        EXPECT_GT(m.players[0].ballPos.z, 120.0f);
        EXPECT_EQ(m.players[0].club, 3);
        EXPECT_EQ(m.turnCounter, 1);
        EXPECT_EQ(spin.backspin, 2);
        EXPECT_EQ(spin.sidespin, 2);
        ASSERT_EQ(r.noticeCount, 1);
        EXPECT_EQ(r.notices[0], kNoticePenaltyCharge);
        ASSERT_EQ(r.moneyCount, local == 0 ? 1 : 0);
        if (local == 0) {
            EXPECT_EQ(r.money[0].amount, -1);
            EXPECT_EQ(r.money[0].reason, kMoneyPenaltyCharge);
        }
    }
}

TEST(ShotEnded, ChargesNeedTheBalance) {
    MatchRules m = Match();
    m.players[1].balance = 4;
    physics::ShotInput shot = Rested(1, core::kSurfaceOutOfBounds);
    shot.powerShot = 1;
    physics::SpinChoice spin;
    RuleReports r = ShotEnded(m, Options(2), shot, 1, spin, nullptr);
    EXPECT_EQ(m.players[1].balance, 3);  // the lost ball, but not the power shot
    ASSERT_EQ(r.moneyCount, 1);
    EXPECT_EQ(r.noticeCount, 0);  // notices only at the beginner level

    m.players[1].balance = 0;
    shot = Rested(1, core::kSurfaceWater);
    r = ShotEnded(m, Options(2), shot, 1, spin, nullptr);
    EXPECT_EQ(m.players[1].balance, 0);
    EXPECT_EQ(r.moneyCount, 0);
}

TEST(ShotEnded, RecordNamingNoPlayerChangesNothing) {
    MatchRules m = Match();
    physics::ShotInput shot = Rested(3, core::kSurfaceWater);
    physics::SpinChoice spin;
    ShotEnded(m, Options(2), shot, 0, spin, nullptr);
    shot.player = 200;
    ShotEnded(m, Options(2), shot, 0, spin, nullptr);
    EXPECT_EQ(m.turnCounter, 0);
    EXPECT_EQ(m.players[3].balance, 100);
}

TEST(ShotEnded, PartnersPlayOneBall) {
    RuleOptions o = Options(4);
    o.teamPlay = true;
    MatchRules m = Match(1, 3);
    StartStroke(m, o, 2);
    EXPECT_EQ(m.players[3].strokes, 1);
    StartStroke(m, o, 3);
    EXPECT_EQ(m.players[2].strokes, 2);
    physics::ShotInput shot = Rested(3, core::kSurfaceGreen);
    shot.finished = 1;
    physics::SpinChoice spin;
    ShotEnded(m, o, shot, 0, spin, nullptr);
    for (int p : {2, 3}) {
        EXPECT_EQ(m.players[p].finishedHole, 1);
        EXPECT_EQ(m.players[p].totalStrokes, 2);
        EXPECT_EQ(m.players[p].overPar, -1);
        EXPECT_EQ(m.players[p].scorecard[0], 2);
        EXPECT_EQ(m.players[p].ballPos.z, 150.0f);
    }
    EXPECT_EQ(m.teamLastShooter[1], 3);
    EXPECT_EQ(m.players[0].strokes, 0);
}

TEST(Settlement, StrokePlayTieSplitsThePotOddUnitToTheLowerSlot) {
    RuleOptions o = Options(3, kModeStrokePlay, 5);
    MatchRules m = Match(9);
    m.pot = 2;
    Finish(m, 0, 40);
    Finish(m, 1, 38);
    Finish(m, 2, 38);
    RuleReports r;
    SettleHole(m, o, 1, r);
    // Antes of 5 each make a pot of 17: 9 to slot 1, 8 to slot 2.
    EXPECT_EQ(m.players[0].balance, 95);
    EXPECT_EQ(m.players[1].balance, 104);
    EXPECT_EQ(m.players[2].balance, 103);
    EXPECT_EQ(m.pot, 0);
    EXPECT_TRUE(r.holeFinished);
    EXPECT_TRUE(r.sendGameEnd);
    // Slot 1 gained most, so its client reports every change.
    ASSERT_EQ(r.moneyCount, 3);
    EXPECT_EQ(r.money[0].amount, -5);
    EXPECT_EQ(r.money[1].amount, 4);
    EXPECT_EQ(r.money[2].amount, 3);
    EXPECT_EQ(r.scoreStrokes, 38);

    RuleReports other;
    m.holeSettled = 0;
    SettleHole(m, o, 0, other);
    EXPECT_EQ(other.moneyCount, 0);
}

TEST(Settlement, StrokePlayPaysOnlyAtTheLastHoleAndOnlyOnce) {
    RuleOptions o = Options(2, kModeStrokePlay, 5);
    MatchRules m = Match(3);
    Finish(m, 0, 4);
    RuleReports r;
    SettleHole(m, o, 0, r);
    EXPECT_FALSE(r.holeFinished);  // slot 1 still playing
    Finish(m, 1, 5);
    SettleHole(m, o, 0, r);
    EXPECT_TRUE(r.holeFinished);
    EXPECT_FALSE(r.sendGameEnd);
    EXPECT_EQ(m.players[0].balance, 100);
    RuleReports again;
    SettleHole(m, o, 0, again);
    EXPECT_FALSE(again.holeFinished);
}

TEST(Settlement, AnteClearsDebtsAndTakesWhatIsLeft) {
    RuleOptions o = Options(2, kModeStrokePlay, 10);
    MatchRules m = Match(9);
    m.players[0].balance = -7;
    m.players[1].balance = 3;
    Finish(m, 0, 30);
    Finish(m, 1, 31);
    RuleReports r;
    SettleHole(m, o, 0, r);
    EXPECT_EQ(m.players[0].balance, 3);
    EXPECT_EQ(m.players[1].balance, 0);
    EXPECT_EQ(m.players[1].holeDelta, -3);
}

TEST(Settlement, VegasPaysTheStrokeDifferenceOrWhatIsLeft) {
    RuleOptions o = Options(2, kModeVegas, 10);
    MatchRules m = Match();
    Finish(m, 0, 4);
    Finish(m, 1, 6);
    RuleReports r;
    SettleHole(m, o, 0, r);
    EXPECT_EQ(m.players[0].balance, 120);
    EXPECT_EQ(m.players[1].balance, 80);
    EXPECT_EQ(m.players[1].holeDelta, -20);
    EXPECT_EQ(r.moneyCount, 2);

    MatchRules shortOfMoney = Match();
    shortOfMoney.players[1].balance = 5;
    Finish(shortOfMoney, 0, 4);
    Finish(shortOfMoney, 1, 6);
    SettleHole(shortOfMoney, o, 0, r);
    EXPECT_EQ(shortOfMoney.players[0].balance, 105);
    EXPECT_EQ(shortOfMoney.players[1].balance, 0);
}

TEST(Settlement, VegasPaysTheBestPlacedFirst) {
    RuleOptions o = Options(3, kModeVegas, 10);
    MatchRules m = Match();
    m.players[2].balance = 25;
    Finish(m, 0, 5);  // second best
    Finish(m, 1, 3);  // best
    Finish(m, 2, 6);  // owes 30 to slot 1 and 10 to slot 0, has 25
    RuleReports r;
    SettleHole(m, o, 0, r);
    EXPECT_EQ(m.players[1].balance, 100 + 20 + 25);
    EXPECT_EQ(m.players[0].balance, 100 - 20);
    EXPECT_EQ(m.players[2].balance, 0);
}

TEST(Settlement, VegasComparesWholeBalances) {
    // A rich player owing a little pays only what he owes, whatever his balance's low 16 bits are.
    RuleOptions o = Options(2, kModeVegas, 10);
    MatchRules m = Match();
    m.players[1].balance = 65536 + 5;
    Finish(m, 0, 4);
    Finish(m, 1, 5);
    RuleReports r;
    SettleHole(m, o, 0, r);
    EXPECT_EQ(m.players[1].balance, 65531);
    EXPECT_EQ(m.players[0].balance, 110);
}

TEST(Settlement, ContestWinnerAtParGetsAStrokeBack) {
    RuleOptions o = Options(2, kModeVegas, 10);
    o.optNear = true;
    MatchRules m = Match(1, 3);
    m.nearestWinner = 1;
    Finish(m, 0, 3);
    Finish(m, 1, 3);
    RuleReports r;
    SettleHole(m, o, 0, r);
    EXPECT_EQ(m.players[1].balance, 110);

    MatchRules over = Match(1, 3);  // over par: no bonus
    over.nearestWinner = 1;
    Finish(over, 0, 4);
    Finish(over, 1, 4);
    SettleHole(over, o, 0, r);
    EXPECT_EQ(over.players[1].balance, 100);
}

TEST(Settlement, NoMoneyAtBeginnerLevelOrWithoutStakeUnlessThePotHoldsSome) {
    RuleOptions beginner = Options(2, kModeVegas, 10);
    beginner.gameLevel = 2;
    MatchRules m = Match();
    Finish(m, 0, 4);
    Finish(m, 1, 6);
    RuleReports r;
    SettleHole(m, beginner, 0, r);
    EXPECT_EQ(m.players[0].balance, 100);
    EXPECT_TRUE(r.sendHoleScore);

    RuleOptions free = Options(2, kModeStrokePlay, 0);
    MatchRules last = Match(9);
    last.pot = 7;  // left by a player who quit
    Finish(last, 0, 30);
    Finish(last, 1, 32);
    SettleHole(last, free, 0, r);
    EXPECT_EQ(last.players[0].balance, 107);
}

TEST(Settlement, SkinsPointsPerHoleAndPotToTheMostPoints) {
    RuleOptions o = Options(3, kModeSkins, 10);
    MatchRules m = Match(8);
    Finish(m, 0, 4);
    Finish(m, 1, 4);
    Finish(m, 2, 5);
    RuleReports r;
    SettleHole(m, o, 0, r);
    // Tied best players both score as if they beat everyone else.
    EXPECT_EQ(m.players[0].points, 2);
    EXPECT_EQ(m.players[1].points, 2);
    EXPECT_EQ(m.players[2].points, 0);
    EXPECT_EQ(m.pot, 0);

    ResetRulesForHole(m, 9, 4, platform::Vec3{});
    Finish(m, 0, 3);
    Finish(m, 1, 5);
    Finish(m, 2, 5);
    SettleHole(m, o, 0, r);
    EXPECT_EQ(m.players[0].points, 4);
    EXPECT_EQ(m.players[1].points, 3);
    EXPECT_EQ(m.players[2].points, 1);
    EXPECT_EQ(m.players[0].balance, 120);
    EXPECT_EQ(m.players[1].balance, 90);
}

// Holes are numbered 1-18 and kept at 0-17: the last hole's strokes are kept, and the tee order of
// a hole follows the hole before it.
TEST(Scorecard, EveryHoleUpToTheLastIsKept) {
    RuleOptions o = Options(2);
    o.startHole = 17;
    o.endHole = 18;
    MatchRules m = Match(18, 3);
    m.players[0].scorecard[16] = 6;  // hole 17
    m.players[1].scorecard[16] = 4;
    EXPECT_EQ(NextShooter(m, o, 0, kNoPlayer), 1);
    StartStroke(m, o, 1);
    StartStroke(m, o, 1);
    physics::ShotInput shot = Rested(1, core::kSurfaceGreen);
    shot.finished = 1;
    physics::SpinChoice spin;
    ShotEnded(m, o, shot, 0, spin, nullptr);
    EXPECT_EQ(m.players[1].scorecard[17], 2);
    EXPECT_EQ(m.players[1].totalStrokes, 2);
    EXPECT_EQ(HoleIndex(0), -1);
    EXPECT_EQ(HoleIndex(19), -1);
}

}  // namespace
}  // namespace rules
