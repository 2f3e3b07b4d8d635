// A player leaving: his stake, the records of the others closing the gap, and team settlement.

#include "game/rules/player_leaving.h"

#include <gtest/gtest.h>

namespace {

using rules::kNoPlayer;

rules::MatchState FourPlayers(int gameMode, int stake, int hole) {
    rules::MatchState m;
    m.options.gameMode = gameMode;
    m.options.stake = stake;
    m.options.playerCount = 4;
    m.options.startHole = 1;
    m.options.endHole = 9;
    m.rules.hole = hole;
    for (int p = 0; p < 4; ++p) {
        m.rules.players[p].balance = 100 + p;
        m.rules.players[p].strokes = 3;
        m.rules.players[p].ballPos = {static_cast<float>(p), 0.0f, 0.0f};
        m.slots[p].timeOuts = static_cast<uint8_t>(p);
    }
    m.rules.turnCounter = 8;
    return m;
}

TEST(PlayerLeaving, TheOthersMoveDownAndKeepTheirOrder) {
    rules::MatchState m = FourPlayers(rules::kModeStrokePlay, 0, 2);
    const uint8_t teeOrder[4] = {2, 0, 3, 1};
    std::copy(teeOrder, teeOrder + 4, m.rules.teeOrder);
    m.rules.nearestWinner = 3;
    m.rules.longestWinner = 1;
    m.localSlot = 3;
    m.shooter = 2;
    m.shot.player = 2;

    rules::RemovePlayer(m, 1);

    EXPECT_EQ(m.options.playerCount, 3);
    EXPECT_EQ(m.rules.players[1].balance, 102);  // Cid moved into slot 1
    EXPECT_EQ(m.rules.players[2].balance, 103);
    EXPECT_EQ(m.rules.players[1].ballPos.x, 2.0f);
    EXPECT_EQ(m.slots[2].timeOuts, 3);
    EXPECT_EQ(m.rules.players[3].balance, 0);  // the freed slot is empty
    EXPECT_EQ((std::vector<int>(m.rules.teeOrder, m.rules.teeOrder + 3)), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(m.rules.nearestWinner, 2);
    EXPECT_EQ(m.rules.longestWinner, kNoPlayer);
    EXPECT_EQ(m.localSlot, 2);
    EXPECT_EQ(m.shooter, 1);
    EXPECT_EQ(m.shot.player, 1);

    rules::RemovePlayer(m, 1);  // the shooter himself leaves
    EXPECT_EQ(m.shooter, kNoPlayer);
    EXPECT_EQ(m.localSlot, 1);
    EXPECT_EQ(m.options.playerCount, 2);
}

TEST(PlayerLeaving, StrokePlayStakeGoesToThePotAndTheLastPlayerTakesIt) {
    rules::MatchState m = FourPlayers(rules::kModeStrokePlay, 10, 3);
    m.rules.players[2].balance = 4;
    rules::LeaverStake stake = rules::TakeLeaverStake(m.rules, m.options, 2, 0);
    EXPECT_EQ(stake.balls, 4);
    EXPECT_FALSE(stake.noPenalty);
    rules::RemovePlayer(m, 2);
    rules::LeaverPayout payout = rules::PayLeaverStake(m.rules, m.options, stake);
    EXPECT_EQ(payout.toPot, 4);
    EXPECT_EQ(m.rules.pot, 4);
    EXPECT_EQ(payout.potToLast, 0);

    for (int leaver : {2, 1}) {
        stake = rules::TakeLeaverStake(m.rules, m.options, leaver, 0);
        rules::RemovePlayer(m, leaver);
        payout = rules::PayLeaverStake(m.rules, m.options, stake);
    }
    EXPECT_EQ(m.options.playerCount, 1);
    EXPECT_EQ(payout.toPot, 10);
    EXPECT_EQ(payout.potToLast, 24);  // 4 + 10 + 10
    EXPECT_EQ(m.rules.pot, 0);
    EXPECT_EQ(m.rules.players[0].balance, 124);
}

TEST(PlayerLeaving, VegasSharesTheLeaversBallsInTurn) {
    rules::MatchState m = FourPlayers(rules::kModeVegas, 5, 2);
    m.rules.players[0].balance = 30;
    const rules::LeaverStake stake = rules::TakeLeaverStake(m.rules, m.options, 0, 1);
    rules::RemovePlayer(m, 0);
    const rules::LeaverPayout payout = rules::PayLeaverStake(m.rules, m.options, stake);
    EXPECT_EQ(payout.shares[0], 20);
    EXPECT_EQ(payout.shares[1], 10);
    EXPECT_EQ(payout.shares[2], 0);
    EXPECT_EQ(payout.sharesTotal, 30);
    EXPECT_EQ(m.rules.players[0].balance, 121);
    EXPECT_EQ(m.rules.players[1].balance, 112);
    EXPECT_EQ(m.rules.players[2].balance, 103);
}

TEST(PlayerLeaving, LeavingTheFirstHoleBeforeTheSecondStrokeCostsNothing) {
    for (int mode : {rules::kModeStrokePlay, rules::kModeSkins, rules::kModeVegas}) {
        rules::MatchState m = FourPlayers(mode, 10, 1);
        m.rules.players[1].strokes = 1;
        const int potBefore = m.rules.pot;
        const rules::LeaverStake stake = rules::TakeLeaverStake(m.rules, m.options, 1, 0);
        EXPECT_TRUE(stake.noPenalty) << "mode " << mode;
        rules::RemovePlayer(m, 1);
        const rules::LeaverPayout payout = rules::PayLeaverStake(m.rules, m.options, stake);
        EXPECT_EQ(payout.toPot + payout.sharesTotal, 0) << "mode " << mode;
        EXPECT_EQ(m.rules.pot, potBefore);
    }
}

TEST(PlayerLeaving, ATeeShotAlreadyPlayedNoLongerCountsForTheTeeOrder) {
    rules::MatchState m = FourPlayers(rules::kModeStrokePlay, 0, 2);
    m.rules.turnCounter = 2;
    m.rules.players[0].strokes = 1;  // slot 0 teed off; slot 2 is on the tee now
    m.rules.players[3].strokes = 0;
    rules::TakeLeaverStake(m.rules, m.options, 0, 2);
    EXPECT_EQ(m.rules.turnCounter, 1);
    rules::TakeLeaverStake(m.rules, m.options, 3, 2);  // has not played: nothing changes
    EXPECT_EQ(m.rules.turnCounter, 1);
}

TEST(PlayerLeaving, TheLeaversTeamPaysTheOtherTeamUnlessTheMatchHasJustBegun) {
    rules::MatchState m = FourPlayers(rules::kModeStrokePlay, 7, 1);
    m.options.teamPlay = true;
    m.rules.turnCounter = 4;
    EXPECT_FALSE(rules::SettleTeamLeaving(m.rules, m.options, 1).settled);
    EXPECT_EQ(m.rules.players[0].balance, 100);

    m.rules.turnCounter = 5;
    m.rules.players[2].balance = 4;
    const rules::TeamSettlement team = rules::SettleTeamLeaving(m.rules, m.options, 3);
    ASSERT_TRUE(team.settled);
    EXPECT_EQ(team.payers[0], 2);
    EXPECT_EQ(team.receivers[0], 0);
    EXPECT_EQ(team.payments[0], 4);
    EXPECT_EQ(team.payments[1], 7);
    EXPECT_EQ(team.shares[0], 5);  // 11 / 2
    EXPECT_EQ(team.shares[1], 6);
    EXPECT_EQ(m.rules.players[0].balance, 105);
    EXPECT_EQ(m.rules.players[1].balance, 107);
    EXPECT_EQ(m.rules.players[2].balance, 0);
    EXPECT_EQ(m.rules.players[3].balance, 96);
}

}  // namespace
