// Players leaving a running match, observers joining it and the lobby closing it, played by several
// clients in one process through an in-process lobby, with the built-in player on every seat.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

#include "game/shell/lobby/lobby_messages.h"
#include "game/shell/match/snapshot_sync.h"
#include "game/shell/window_messages.h"
#include "platform/keys.h"
#include "tests/shell/match_table.h"

namespace {

using shell::GameState;

class PlayersLeaving : public MatchTable {
  protected:
    // Plays until the condition holds (true) or the match clock ran out (false).
    bool PlayUntil(const std::function<bool()>& condition, uint32_t maxMs = 3600 * 1000) {
        const uint32_t end = C(0).clock.NowMs() + maxMs;
        while (!condition()) {
            if (AllEnded() || C(0).clock.NowMs() >= end) {
                return false;
            }
            Step();
        }
        return true;
    }

    // The ball changes the clients reported: (player, change).
    std::vector<std::pair<std::string, int32_t>> BallChanges() const {
        std::vector<std::pair<std::string, int32_t>> out;
        for (const shell::LobbyPacket& p : SentOfType(shell::kMsgBallChange)) {
            int32_t change = 0;
            std::memcpy(&change, p.body.data() + shell::kPlayerNameSize, sizeof change);
            out.emplace_back(reinterpret_cast<const char*>(p.body.data()), change);
        }
        return out;
    }

    void ExpectSameShots(const std::vector<size_t>& clients) {
        for (size_t i : clients) {
            EXPECT_EQ(logs_[i], logs_[clients[0]]) << "client " << i;
        }
    }

    // Sends the snapshot bytes to the observer as player 0 would.
    void SendSnapshotBytes(size_t observer, const uint8_t (&bytes)[shell::kGameSnapshotWireSize]) {
        std::vector<uint8_t> payload(4 + shell::kGameSnapshotWireSize + 1, 0);
        payload[0] = shell::kMsgSnapshot;
        std::memcpy(payload.data() + 4, bytes, sizeof bytes);
        const std::vector<uint8_t> packet =
            shell::BuildLobbyPacket("Ann", clients_[observer]->lobby.localName, payload.data(),
                                    static_cast<uint32_t>(payload.size()));
        lobbyEnds_[observer].Send(packet.data(), packet.size());
    }
};

enum class Phase { kWaiting, kOwnSwing, kOwnReplay, kScoreboard };

class LeavingPhase : public PlayersLeaving, public ::testing::WithParamInterface<Phase> {};

// Bob (slot 1 of 3) leaves on hole 2 (his stake is due) in one phase of the hole; the others finish.
TEST_P(LeavingPhase, TheStakeIsSettledAndTheOthersFinish) {
    SeatAutoplayers({.players = 3, .firstHole = 1, .lastHole = 2, .stake = 10, .balls = 50});
    const shell::Client& bob = C(1);
    const auto onHole2 = [&] {
        return bob.match.currentHole == 2 && bob.shell.gameState != GameState::LoadHole;
    };
    std::function<bool()> phase;
    switch (GetParam()) {
        case Phase::kWaiting:
            phase = [&] { return onHole2() && bob.match.shooter != 1 && bob.match.rules.turnCounter >= 3; };
            break;
        case Phase::kOwnSwing:
            phase = [&] { return onHole2() && bob.shell.gameState == GameState::Swing; };
            break;
        case Phase::kOwnReplay:
            phase = [&] {
                return onHole2() && bob.shell.gameState == GameState::Replay && bob.match.shooter == 1;
            };
            break;
        case Phase::kScoreboard:
            phase = [&] {
                return bob.shell.gameState == GameState::Scoreboard && bob.match.currentHole == 1;
            };
            break;
    }
    ASSERT_TRUE(PlayUntil(phase));
    const int32_t potBefore = C(0).match.rules.pot;
    Leave(1);
    ASSERT_TRUE(PlayUntil([&] { return C(0).match.options.playerCount == 2; }, 60 * 1000));
    EXPECT_EQ(C(0).match.rules.pot, potBefore + 10);
    PlayOut();
    ASSERT_TRUE(AllEnded());

    for (size_t i : {0, 2}) {
        EXPECT_EQ(clients_[i]->match.options.playerCount, 2);
        EXPECT_STREQ(clients_[i]->config.players[1].name, "Cid");
    }
    EXPECT_EQ(C(2).match.localSlot, 1);
    ExpectSameShots({0, 2});
    EXPECT_EQ(CountSent(shell::kMsgFinalScores), 2u);
    const auto changes = BallChanges();
    // The driver alone reports what the leaver paid.
    EXPECT_EQ(std::count(changes.begin(), changes.end(), std::pair<std::string, int32_t>{"Bob", -10}), 1);
    for (int p = 0; p < 2; ++p) {
        EXPECT_EQ(C(2).match.rules.players[p].balance, C(0).match.rules.players[p].balance);
    }
}

std::string PhaseName(const ::testing::TestParamInfo<Phase>& info) {
    static const char* const kPhaseNames[] = {"Waiting", "OwnSwing", "OwnReplay", "Scoreboard"};
    return kPhaseNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(EveryPhase, LeavingPhase,
                         ::testing::Values(Phase::kWaiting, Phase::kOwnSwing, Phase::kOwnReplay,
                                           Phase::kScoreboard),
                         PhaseName);

TEST_F(PlayersLeaving, WhenTheDriverLeavesTheNextSlotDrives) {
    SeatAutoplayers({.players = 3});
    ASSERT_TRUE(PlayUntil([&] { return C(0).match.rules.turnCounter >= 4; }));
    Leave(0);
    PlayOut();
    ASSERT_TRUE(AllEnded());
    EXPECT_EQ(C(1).match.localSlot, 0);
    EXPECT_EQ(C(2).match.localSlot, 1);
    EXPECT_TRUE(C(1).match.holeFinished);
    ExpectSameShots({1, 2});
    EXPECT_EQ(CountSent(shell::kMsgFinalScores), 2u);
}

TEST_F(PlayersLeaving, TheLastPlayerLeftTakesThePot) {
    SeatAutoplayers({.players = 2, .firstHole = 1, .lastHole = 2, .stake = 10, .balls = 50});
    ASSERT_TRUE(PlayUntil([&] { return C(0).match.currentHole == 2 && C(0).match.rules.turnCounter >= 2; }));
    Leave(1);
    PlayOut();
    ASSERT_TRUE(AllEnded());
    EXPECT_EQ(C(0).match.rules.pot, 0);
    const auto changes = BallChanges();
    std::string seen;
    for (const auto& [name, change] : changes) {
        seen += name + " " + std::to_string(change) + "; ";
    }
    EXPECT_NE(std::find(changes.begin(), changes.end(), std::pair<std::string, int32_t>{"Ann", 10}),
              changes.end())
        << seen;
}

TEST_F(PlayersLeaving, ALeaverEndsATeamMatchForEveryoneWithoutPaymentAtTheStart) {
    SeatAutoplayers({.players = 4, .stake = 10, .teamPlay = true});
    Tick(50);
    Leave(2);
    PlayUntil([] { return false; }, 5000);
    EXPECT_FALSE(C(0).shell.quitting);  // the settlement stays on screen for a while
    PlayOut(20 * 1000);
    EXPECT_TRUE(AllEnded());
    EXPECT_EQ(CountSent(shell::kMsgGameEnd), 3u);
    EXPECT_EQ(CountSent(shell::kMsgBallChange), 0u);
}

TEST_F(PlayersLeaving, ALeaveForANameNotPlayingIsIgnored) {
    SeatAutoplayers({.players = 2});
    Tick(50);
    for (size_t i = 0; i < clients_.size(); ++i) {
        SendFromLobby(i, shell::kMsgPlayerLeft, "", "Zed");
    }
    PlayOut();
    EXPECT_EQ(C(0).match.options.playerCount, 2);
    ExpectSameShots({0, 1});
}

TEST_F(PlayersLeaving, TheLobbyClosingEndsEachClientOnceAfterAMoment) {
    SeatAutoplayers({.players = 2});
    PlayUntil([] { return false; }, 3000);
    Relay();
    const size_t noticesBefore = CountSent(shell::kMsgNotice);
    for (size_t i = 0; i < clients_.size(); ++i) {
        SendFromLobby(i, shell::kMsgCloseMatch, "", "");
        SendFromLobby(i, shell::kMsgCloseMatch, "", "");  // a second close changes nothing
    }
    PlayUntil([] { return false; }, 500);
    EXPECT_FALSE(AllEnded());
    // Meanwhile the client takes no input: no typed line, no quick chat, no click on the exit.
    ASSERT_TRUE(PlayUntil([&] { return C(0).matchExtras.ending.running; }, 1000));
    Relay();
    const size_t chatsBefore = CountSent(shell::kMsgChat);
    const size_t endsBefore = CountSent(shell::kMsgGameEnd);
    const platform::WindowHandlers window = shell::MakeWindowHandlers(C(0));
    window.onText("hello");
    window.onKey(platform::kKeyReturn, true);
    window.onKey(platform::kKeyF1, true);
    window.onLeftButton(790, 5);
    Relay();
    EXPECT_TRUE(C(0).chat.input.text.empty());
    EXPECT_EQ(CountSent(shell::kMsgChat), chatsBefore);
    EXPECT_EQ(CountSent(shell::kMsgGameEnd), endsBefore);
    EXPECT_FALSE(C(0).shell.quitting);
    PlayOut(2000);
    EXPECT_TRUE(AllEnded());
    Relay();
    EXPECT_EQ(CountSent(shell::kMsgGameEnd), 2u);
    EXPECT_EQ(CountSent(shell::kMsgNotice), noticesBefore + 2);
}

enum class JoinPhase { kAiming, kReplay, kShotResult };

class ObserverJoining : public PlayersLeaving, public ::testing::WithParamInterface<JoinPhase> {};

// The observer's shots agree with the players' from its second one on (a shot may be under way
// when it joins).
TEST_P(ObserverJoining, ItSeesTheSameMatchAsThePlayers) {
    const TableSettings settings{.players = 3};
    SeatAutoplayers(settings);
    const GameState state = GetParam() == JoinPhase::kAiming   ? GameState::Playing
                            : GetParam() == JoinPhase::kReplay ? GameState::Replay
                                                               : GameState::ShotResult;
    ASSERT_TRUE(
        PlayUntil([&] { return C(0).match.rules.turnCounter >= 3 && C(0).shell.gameState == state; }));
    const shell::Client& observer = AddObserver(settings, "Watcher");
    ASSERT_TRUE(PlayUntil([&] { return observer.config.match.waitingForSnapshot == 0; }, 30 * 1000));
    EXPECT_EQ(observer.match.currentHole, C(0).match.currentHole);
    EXPECT_EQ(observer.match.localSlot, rules::kNoPlayer);
    PlayOut();
    ASSERT_TRUE(AllEnded());
    const std::vector<std::string>& seen = logs_[3];
    ASSERT_GE(seen.size(), 2u);
    const std::vector<std::string>& played = logs_[0];
    const auto at = std::find(played.begin(), played.end(), seen[1]);
    ASSERT_NE(at, played.end());
    EXPECT_EQ(std::vector<std::string>(seen.begin() + 1, seen.end()),
              std::vector<std::string>(at, played.end()));
    EXPECT_EQ(CountSent(shell::kMsgSnapshot), 1u);
    for (uint32_t type : {shell::kMsgShooterReady, shell::kMsgShot, shell::kMsgHoleReport}) {
        for (const shell::LobbyPacket& p : SentOfType(type)) {
            EXPECT_STRNE(p.sender, "Watcher") << "type " << type;
        }
    }
}

std::string JoinPhaseName(const ::testing::TestParamInfo<JoinPhase>& info) {
    static const char* const kStateNames[] = {"Aiming", "Replay", "ShotResult"};
    return kStateNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(EveryState, ObserverJoining,
                         ::testing::Values(JoinPhase::kAiming, JoinPhase::kReplay, JoinPhase::kShotResult),
                         JoinPhaseName);

TEST_F(PlayersLeaving, ASnapshotOutOfRangeIsRefusedAsAWhole) {
    const TableSettings settings{.players = 2};
    SeatAutoplayers(settings);
    ASSERT_TRUE(PlayUntil([&] { return C(0).shell.gameState == GameState::Playing; }));
    // An observer whose request the lobby never passed on: it gets only the bytes below.
    AddClient(settings, 0, "Watcher", true);
    PlayUntil([] { return false; }, 500);
    uint8_t good[shell::kGameSnapshotWireSize];
    shell::PackGameSnapshot(shell::BuildSnapshot(C(0)), good);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<std::pair<size_t, std::vector<uint8_t>>> faults = {
        {128, {9, 0, 0, 0}},                   // player count
        {136, {4, 0, 0, 0}},                   // shooter
        {132, {40, 0, 0, 0}},                  // hole
        {286, {0, 7, 0, 0}},                   // turn order
        {234, std::vector<uint8_t>(13, 'x')},  // a name without its end
        {330, std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(&nan),
                                   reinterpret_cast<const uint8_t*>(&nan) + 4)},  // a ball position
    };
    for (const auto& [offset, bytes] : faults) {
        uint8_t bad[shell::kGameSnapshotWireSize];
        std::memcpy(bad, good, sizeof bad);
        std::memcpy(bad + offset, bytes.data(), bytes.size());
        SendSnapshotBytes(2, bad);
        PlayUntil([] { return false; }, 200);
        EXPECT_EQ(C(2).config.match.waitingForSnapshot, 1) << "offset " << offset;
        EXPECT_EQ(C(2).match.options.playerCount, 2) << "offset " << offset;
    }
    SendSnapshotBytes(2, good);
    PlayUntil([] { return false; }, 200);
    EXPECT_EQ(C(2).config.match.waitingForSnapshot, 0);
    EXPECT_STREQ(C(2).config.players[1].name, "Bob");
}

}  // namespace
