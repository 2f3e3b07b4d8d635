#include <gtest/gtest.h>

#include "game/core/surface_kind.h"
#include "game/rules/concede.h"
#include "game/rules/contests.h"
#include "game/rules/order_of_play.h"
#include "game/rules/settlement.h"
#include "game/rules/stroke_rules.h"
#include "tests/course/model_fixtures.h"

namespace rules {
namespace {

RuleOptions Options(int players, int mode = kModeStrokePlay, int stake = 10) {
    RuleOptions o;
    o.playerCount = players;
    o.gameMode = mode;
    o.stake = stake;
    o.startHole = 1;
    o.endHole = 9;
    return o;
}

MatchRules Match(int hole = 1, int par = 4) {
    MatchRules m;
    ResetRulesForHole(m, hole, par, platform::Vec3{0.0f, 0.0f, 0.0f});
    m.pin = platform::Vec3{0.0f, 0.0f, 300.0f};
    for (PlayerRecord& p : m.players) {
        p.balance = 100;
    }
    return m;
}

void Finish(MatchRules& m, int player, int strokes) {
    m.players[player].strokes = static_cast<uint16_t>(strokes);
    m.players[player].finishedHole = 1;
    m.players[player].totalStrokes += strokes;
}

physics::ShotInput Rested(int player, int surface) {
    physics::ShotInput shot;
    shot.player = static_cast<uint8_t>(player);
    shot.surface = static_cast<uint8_t>(surface);
    shot.club = 3;
    shot.ballPos = platform::Vec3{1.0f, 0.0f, 150.0f};
    return shot;
}

// A fairway with a water hazard across it from z = 140 to 160.
struct PondHole {
    core::FnxModel model;
    course::TerrainGrid grid;
    physics::ShotWorld world;
    PondHole() {
        fixtures::AddFlatQuad(model, "WTR", -40.0f, 140.0f, 40.0f, 160.0f, 5.5f);
        fixtures::AddFlatQuad(model, "FWY", -40.0f, -50.0f, 40.0f, 450.0f, 5.0f);
        grid = course::BuildTerrainGrid(model);
        world.model = &model;
        world.grid = &grid;
    }
};

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

TEST(OrderOfPlay, OnePlayerAlwaysShoots) {
    MatchRules m = Match();
    m.turnCounter = 5;
    EXPECT_EQ(NextShooter(m, Options(1), 0, kNoPlayer), 0);
}

TEST(OrderOfPlay, TeeOrderByPreviousHoleThenFarthestFromThePin) {
    RuleOptions o = Options(4);
    MatchRules m = Match(2);
    const uint8_t previous[4] = {5, 3, 5, 4};
    for (int p = 0; p < 4; ++p) {
        m.players[p].scorecard[0] = previous[p];
    }
    int order[4];
    for (int i = 0; i < 4; ++i) {
        order[i] = NextShooter(m, o, 0, kNoPlayer);
        ++m.turnCounter;
    }
    EXPECT_EQ(order[0], 1);
    EXPECT_EQ(order[1], 3);
    EXPECT_EQ(order[2], 0);
    EXPECT_EQ(order[3], 2);

    m.players[0].ballPos.z = 290.0f;
    m.players[1].ballPos.z = 100.0f;  // farthest, but finished
    m.players[1].finishedHole = 1;
    m.players[2].ballPos.z = 200.0f;
    m.players[3].ballPos.z = 200.0f;
    EXPECT_EQ(NextShooter(m, o, 0, kNoPlayer), 2);  // tie: lower slot
    EXPECT_EQ(NextShooter(m, o, 0, 2), 3);          // timed out: waits
    m.players[0].finishedHole = 1;
    m.players[3].finishedHole = 1;
    EXPECT_EQ(NextShooter(m, o, 0, 2), 2);  // nobody else left
}

TEST(OrderOfPlay, FirstHoleTeesOffInSlotOrder) {
    MatchRules m = Match(1);
    m.players[0].scorecard[0] = 9;
    EXPECT_EQ(NextShooter(m, Options(3), 0, kNoPlayer), 0);
}

TEST(OrderOfPlay, TeamsAlternatePlayersAndTheFartherSidePlays) {
    RuleOptions o = Options(4);
    o.teamPlay = true;
    MatchRules m = Match(2);
    m.players[0].scorecard[0] = m.players[1].scorecard[0] = 5;
    m.players[2].scorecard[0] = m.players[3].scorecard[0] = 4;
    EXPECT_EQ(NextShooter(m, o, 0, kNoPlayer), 2);  // side 1 did better, slot 2 tees off
    m.teamLastShooter[1] = 2;
    m.turnCounter = 1;
    EXPECT_EQ(NextShooter(m, o, 0, kNoPlayer), 0);
    m.teamLastShooter[0] = 0;
    m.turnCounter = 2;
    m.players[0].ballPos.z = m.players[1].ballPos.z = 150.0f;
    m.players[2].ballPos.z = m.players[3].ballPos.z = 150.0f;
    EXPECT_EQ(NextShooter(m, o, 0, kNoPlayer), 3);  // equal distances: side 1
    m.players[2].finishedHole = m.players[3].finishedHole = 1;
    EXPECT_EQ(NextShooter(m, o, 0, kNoPlayer), 1);
}

// Two players' tee shots on a par 3 are played; slot 1's ball is farther and he is about to play.
MatchRules ParThreeAfterTeeShots() {
    MatchRules m = Match(1, 3);
    m.turnCounter = 2;
    m.players[0].strokes = 1;
    m.players[0].surface = core::kSurfaceGreen;
    m.players[0].ballPos.z = 290.0f;
    m.players[1].strokes = 2;  // his second stroke was just counted
    m.players[1].surface = core::kSurfaceGreen;
    m.players[1].ballPos.z = 285.0f;
    return m;
}

TEST(Contests, NearestToThePinNeedsStakesAndLevel) {
    RuleOptions o = Options(2, kModeSkins, 10);
    o.optNear = true;
    MatchRules m = ParThreeAfterTeeShots();
    EXPECT_EQ(CheckNearest(m, o, 1), 0);
    EXPECT_EQ(m.nearestWinner, 0);

    m = ParThreeAfterTeeShots();
    m.players[0].surface = core::kSurfaceFairway;
    EXPECT_EQ(CheckNearest(m, o, 1), 1);  // the shooter's own ball still counts

    RuleOptions beginner = o, noStake = o, strokePlay = o, off = o;
    beginner.gameLevel = 2;
    noStake.stake = 0;
    strokePlay.gameMode = kModeStrokePlay;
    off.optNear = false;
    for (const RuleOptions& no : {beginner, noStake, strokePlay, off}) {
        m = ParThreeAfterTeeShots();
        EXPECT_EQ(CheckNearest(m, no, 1), kNoPlayer);
        EXPECT_EQ(m.nearestWinner, kNoPlayer);
    }
    m = ParThreeAfterTeeShots();
    m.par = 4;
    EXPECT_EQ(CheckNearest(m, o, 1), kNoPlayer);
    m = ParThreeAfterTeeShots();
    m.players[0].finishedHole = 1;
    EXPECT_EQ(CheckNearest(m, o, 1), kNoPlayer);
    m = ParThreeAfterTeeShots();
    m.turnCounter = 3;
    EXPECT_EQ(CheckNearest(m, o, 1), kNoPlayer);
}

TEST(Contests, LongestDriveIsTheFairwayBallNearestThePin) {
    RuleOptions o = Options(2, kModeVegas, 10);
    o.optLongest = true;
    MatchRules m = ParThreeAfterTeeShots();
    m.par = 5;
    m.players[0].surface = core::kSurfaceFairway;
    m.players[1].surface = core::kSurfaceFairway;
    m.players[1].ballPos.z = 295.0f;
    EXPECT_EQ(CheckLongest(m, o, 1), 1);
    EXPECT_EQ(m.longestWinner, 1);
    m.players[1].surface = core::kSurfaceRough;
    EXPECT_EQ(CheckLongest(m, o, 1), 0);
}

TEST(Contests, GiveOnlyForTheLastShortPuttOfTheHole) {
    RuleOptions o = Options(3, kModeSkins, 10);
    o.optGive = true;
    MatchRules m = Match();
    Finish(m, 0, 4);
    Finish(m, 2, 5);
    m.players[1].strokes = 5;
    physics::ShotInput putt;
    putt.player = 1;
    putt.pinDistance = 1.0f;
    EXPECT_TRUE(GiveAllowed(m, o, 0, putt));
    EXPECT_FALSE(GiveAllowed(m, o, 1, putt));  // not one's own putt
    putt.pinDistance = 1.01f;
    EXPECT_FALSE(GiveAllowed(m, o, 0, putt));
    putt.pinDistance = 0.5f;
    m.players[1].strokes = 4;  // slot 2 took more
    EXPECT_FALSE(GiveAllowed(m, o, 0, putt));
    m.players[1].strokes = 5;
    m.players[0].concedeVote = 1;
    EXPECT_FALSE(GiveAllowed(m, o, 0, putt));
    EXPECT_TRUE(GiveAllowed(m, o, 2, putt));
    m.players[2].finishedHole = 0;
    EXPECT_FALSE(GiveAllowed(m, o, 0, putt));
    m.players[2].finishedHole = 1;
    o.gameMode = kModeStrokePlay;
    EXPECT_FALSE(GiveAllowed(m, o, 2, putt));
}

TEST(Contests, EnoughConcedeVotesHoleTheBallOnTheShootersClient) {
    RuleOptions o = Options(3, kModeSkins, 10);
    MatchRules m = Match();
    m.pin = platform::Vec3{2.0f, 3.0f, 300.0f};
    physics::ShotInput putt;
    putt.player = 1;
    ConcedeOutcome watcher = ApplyConcedeVote(m, o, 0, 2, false, true, putt);
    EXPECT_FALSE(watcher.announceGiver);
    EXPECT_EQ(m.players[0].concedeVote, 1);

    physics::ShotInput own = putt;
    ConcedeOutcome first = ApplyConcedeVote(m, o, 0, 1, false, true, own);
    EXPECT_TRUE(first.announceGiver);
    EXPECT_FALSE(first.conceded);  // slot 2 has not conceded yet
    ConcedeOutcome late = ApplyConcedeVote(m, o, 2, 1, true, true, own);
    EXPECT_FALSE(late.conceded);  // the swing had started: recorded only
    EXPECT_EQ(m.players[2].concedeVote, 1);
    ConcedeOutcome both = ApplyConcedeVote(m, o, 2, 1, false, true, own);
    EXPECT_TRUE(both.conceded);
    EXPECT_EQ(own.finished, 1);
    EXPECT_EQ(own.ballPos.x, 2.0f);
    EXPECT_EQ(own.ballPos.z, 300.0f);

    EXPECT_FALSE(ApplyConcedeVote(m, o, 7, 1, false, true, own).announceGiver);  // not a player
}

}  // namespace
}  // namespace rules
