#include <gtest/gtest.h>

#include "game/core/surface_kind.h"
#include "game/rules/concede.h"
#include "game/rules/contests.h"
#include "game/rules/order_of_play.h"
#include "tests/rules/match_fixtures.h"

namespace rules {
namespace {

using namespace fixtures;

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
