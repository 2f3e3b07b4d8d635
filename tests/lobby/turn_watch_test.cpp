// A client that stops acting while its connection lives must not stall the match: the lobby
// times the turn out in the one order, and takes out a seat that still does not answer.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lobby/turn_watch.h"
#include "tests/lobby/relay_rig.h"

namespace {

using fixtures::RelayRig;
using lobby::TurnAction;

constexpr uint64_t kLimit = lobby::kGameTurnLimitMs + lobby::kTurnMarginMs;

TEST(TurnWatch, TimesOutAShooterWhoDoesNotShootAndDropsOneWhoStillDoesNot) {
    lobby::TurnWatch watch({"Ann", "Bob"}, 1.0);
    watch.Note(shell::kMsgTurnStart, 1, "Ann", "", 0);
    watch.Note(shell::kMsgShooterReady, 0, "Ann", "", 100);
    watch.Note(shell::kMsgShooterReady, 1, "Bob", "", 200);
    EXPECT_TRUE(watch.Due(kLimit - 1).empty());
    const std::vector<TurnAction> due = watch.Due(kLimit);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].kind, TurnAction::kTimeOut);
    EXPECT_EQ(due[0].name, "Bob");
    EXPECT_EQ(due[0].slot, 1);
    watch.Note(shell::kMsgTimeOut, 1, "Bob", "", kLimit);
    EXPECT_TRUE(watch.IsStaleTimeOut());  // Bob's own late time-out must not count again
    const uint64_t swing = kLimit + lobby::kGameSwingLimitMs + lobby::kTurnMarginMs;
    EXPECT_TRUE(watch.Due(swing - 1).empty());
    const std::vector<TurnAction> dropped = watch.Due(swing);
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped[0].kind, TurnAction::kRemove);
    EXPECT_EQ(dropped[0].name, "Bob");
    EXPECT_TRUE(watch.Due(swing + 100000).empty());  // acted on once
}

TEST(TurnWatch, TheThirdTimeOutMakesTheShooterLeaveAndASilentSeatIsDropped) {
    lobby::TurnWatch watch({"Ann", "Bob", "Cy"}, 4.0);  // clients run four times faster
    const uint64_t limit = lobby::kGameTurnLimitMs / 4 + lobby::kTurnMarginMs;
    uint64_t now = 0;
    for (int turn = 0; turn < 2; ++turn) {  // Bob's client times out twice by itself
        watch.Note(shell::kMsgTurnStart, 1, "Ann", "", now);
        watch.Note(shell::kMsgTimeOut, 1, "Bob", "", now + 1000);
        watch.Note(shell::kMsgShot, 1, "Bob", "", now + 2000);
        watch.Note(shell::kMsgShotEnd, 1, "Bob", "", now + 3000);
        now += 10000;
        EXPECT_TRUE(watch.Due(now + 100000).empty());
    }
    watch.Note(shell::kMsgTurnStart, 1, "Ann", "", now);
    for (const char* name : {"Ann", "Bob"}) {
        watch.Note(shell::kMsgShooterReady, 0, name, "", now);
    }
    // Cy never said he is ready; Bob, who has timed out twice, does not shoot.
    const std::vector<TurnAction> due = watch.Due(now + limit);
    ASSERT_EQ(due.size(), 2u);
    EXPECT_EQ(due[0].name, "Cy");
    EXPECT_EQ(due[0].kind, TurnAction::kRemove);
    EXPECT_EQ(due[1].name, "Bob");
    EXPECT_EQ(due[1].reason, "timed out for the third time");

    // After a player leaves, slots are counted anew; a replay that never ends drops its shooter.
    watch.Note(shell::kMsgPlayerLeft, 0, "", "Ann", now);
    watch.Note(shell::kMsgTurnStart, 1, "Bob", "", now);  // Cy is slot 1 now
    watch.Note(shell::kMsgShot, 1, "Cy", "", now + 1000);
    const std::vector<TurnAction> stuck =
        watch.Due(now + 1000 + lobby::kGameReplayLimitMs / 4 + lobby::kTurnMarginMs);
    ASSERT_EQ(stuck.size(), 1u);
    EXPECT_EQ(stuck[0].name, "Cy");
    EXPECT_EQ(lobby::ParseTimeScale("8"), 8.0);
    EXPECT_EQ(lobby::ParseTimeScale("fast"), 1.0);
    EXPECT_EQ(lobby::ParseTimeScale("-2"), 1.0);
}

TEST(TurnWatch, TheRelayTimesOutAHungShooterInTheOneOrderThenTakesHimOut) {
    RelayRig rig({"Ann", "Bob"});
    rig.relay.turns.emplace(std::vector<std::string>{"Ann", "Bob"}, 1.0);
    physics::ShotInput shot;
    shot.player = 1;
    shell::SendTurnStart(rig.links[0], shot);
    shell::SendShooterReady(rig.links[0], 0);
    rig.Run();
    shell::SendShooterReady(rig.links[1], 1);  // Bob's client begins the turn, then hangs
    rig.Run();
    for (auto& link : rig.links) {
        link.gameQueue.clear();
        link.chatQueue.clear();
    }
    rig.relay.nowMs = kLimit;
    lobby::WatchTurns(rig.relay);
    rig.Run();
    for (const auto& link : rig.links) {
        ASSERT_EQ(link.gameQueue.size(), 1u);
        EXPECT_EQ(link.gameQueue.front().type, shell::kMsgTimeOut);
        EXPECT_EQ(link.gameQueue.front().body.at(0), 1);
    }
    EXPECT_FALSE(rig.links[0].chatQueue.empty());  // a system line says what happened
    // Bob's own time-out, arriving late, is dropped: the turn is timed out once.
    shell::SendTimeOut(rig.links[1], 1);
    rig.Run();
    EXPECT_EQ(rig.links[0].gameQueue.size(), 1u);
    EXPECT_EQ(rig.relay.droppedStale, 1u);

    rig.relay.nowMs += lobby::kGameSwingLimitMs + lobby::kTurnMarginMs;
    lobby::WatchTurns(rig.relay);
    rig.Run();
    EXPECT_TRUE(rig.relay.clients[1].gone);
    EXPECT_EQ(rig.links[0].gameQueue.back().type, shell::kMsgPlayerLeft);
    EXPECT_NE(rig.events.str().find(R"("event":"removed","name":"Bob")"), std::string::npos);
}

}  // namespace
