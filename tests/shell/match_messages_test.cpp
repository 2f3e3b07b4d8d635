// The match flow's reaction to single messages, on a client with no hole loaded.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "game/shell/client.h"
#include "game/shell/lobby/lobby_messages.h"
#include "game/shell/lobby/shot_input_wire.h"
#include "game/shell/match/hud_actions.h"
#include "game/shell/match/match_messages.h"
#include "game/shell/match/match_setup.h"
#include "game/shell/match/match_steps.h"
#include "game/shell/match/state_log.h"
#include "game/shell/match/swing.h"
#include "platform/le_bytes.h"

namespace {

using shell::Client;
using shell::LobbyPacket;

class MatchMessages : public ::testing::Test {
  protected:
    void SetUp() override {
        client_ = std::make_unique<Client>();
        client_->clock = platform::GameClock::Test(5000);
        shell::LaunchConfig& c = client_->config;
        c.match.startHole = 1;
        c.match.endHole = 3;
        c.match.maxPlayers = 2;
        c.match.gameMode = 1;
        c.match.optGive = 1;
        std::strcpy(c.players[0].name, "Ann");
        std::strcpy(c.players[1].name, "Bob");
        c.players[0].balls = c.players[1].balls = 20;
        shell::SetLobbyIdentity(client_->lobby, "Ann", false);
        shell::ResetMatch(*client_);
    }

    static LobbyPacket Packet(uint32_t type, std::vector<uint8_t> body, const char* sender = "Bob") {
        LobbyPacket p;
        std::strcpy(p.sender, sender);
        p.type = type;
        p.body = std::move(body);
        return p;
    }
    static std::vector<uint8_t> Floats(std::initializer_list<float> values, size_t extra = 0) {
        std::vector<uint8_t> bytes(values.size() * 4 + extra);
        platform::LeWriter w(bytes.data(), bytes.size());
        for (float v : values) {
            w.F32(v);
        }
        return bytes;
    }
    void Handle(const LobbyPacket& p) { shell::HandleMatchMessage(*client_, p); }

    std::unique_ptr<Client> client_;
};

TEST_F(MatchMessages, FieldsOutOfRangeAreDroppedUnapplied) {
    rules::MatchState& m = client_->match;
    Handle(Packet(shell::kMsgShooterReady, {2}));  // only slots 0 and 1 play
    EXPECT_EQ(m.slots[2].ready, 0);
    Handle(Packet(shell::kMsgShooterReady, {1}));
    EXPECT_EQ(m.slots[1].ready, 1);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const platform::Vec3 pin = m.rules.pin;
    std::vector<uint8_t> pinBody = Floats({1.0f, nan, 3.0f}, 2);
    Handle(Packet(shell::kMsgPin, pinBody));
    EXPECT_EQ(m.rules.pin.x, pin.x);
    Handle(Packet(shell::kMsgWind, Floats({1.0f, 7.5f}, 1)));  // faster than any wind
    EXPECT_EQ(m.wind.windSpeed, 0.0f);
    Handle(Packet(shell::kMsgWind, Floats({1.0f, 2.5f}, 1)));
    EXPECT_EQ(m.wind.windSpeed, 2.5f);

    m.currentHole = 3;  // the last hole: there is no next one
    Handle(Packet(shell::kMsgNextHole, {0}));
    EXPECT_EQ(m.currentHole, 3);
    EXPECT_NE(client_->shell.gameState, shell::GameState::LoadHole);
}

TEST_F(MatchMessages, AShotRecordNamingNoPlayerOrCarryingNaNIsNotApplied) {
    physics::ShotInput shot;
    shot.player = 3;
    std::vector<uint8_t> body(physics::kShotInputWireSize + 1);
    shell::PackShotInput(shot, body.data());
    Handle(Packet(shell::kMsgTurnStart, body));
    EXPECT_EQ(client_->shell.gameState, shell::GameState::Startup);

    shot.player = 1;
    shot.ballPos.x = std::numeric_limits<float>::infinity();
    shell::PackShotInput(shot, body.data());
    Handle(Packet(shell::kMsgShotEnd, body));
    EXPECT_EQ(client_->match.rules.turnCounter, 0);
    EXPECT_EQ(client_->match.rules.players[1].strokes, 0);

    // An index past its table, or a value no swing makes, is refused before it is stored.
    const auto refused = [&](uint32_t type, const physics::ShotInput& bad) {
        client_->match.shot.aimTarget.z = 12345.0f;
        shell::PackShotInput(bad, body.data());
        Handle(Packet(type, body));
        return client_->match.shot.aimTarget.z == 12345.0f;
    };
    physics::ShotInput good;
    good.player = 1;
    good.launchSpeed = 60.0f;
    good.elevation = 12.0f;
    EXPECT_FALSE(refused(shell::kMsgShotSetup, good));
    physics::ShotInput bad = good;
    bad.startSurface = 200;  // the lie table has 9 rows
    EXPECT_TRUE(refused(shell::kMsgShotSetup, bad));
    bad = good;
    bad.swingKind = 9;
    EXPECT_TRUE(refused(shell::kMsgShotSetup, bad));
    bad = good;
    bad.launchSpeed = 1.9e-39f;  // finite, but slower than any launch
    EXPECT_TRUE(refused(shell::kMsgShot, bad));
    bad = good;
    bad.elevation = 80.0f;
    EXPECT_TRUE(refused(shell::kMsgShot, bad));
    bad = good;
    bad.wind.y = -2.0e13f;
    EXPECT_TRUE(refused(shell::kMsgShot, bad));
    bad = good;
    bad.ballPos.z = 5000.0f;  // far off the course
    EXPECT_TRUE(refused(shell::kMsgShot, bad));
    EXPECT_EQ(client_->shell.gameState, shell::GameState::Startup);
}

TEST_F(MatchMessages, AMatchStartsWithAnEmptyChatHistory) {
    shell::AddChatLine(client_->chat.history, "Bob", "hello", shell::ChatKind::kChat, 10, false);
    ASSERT_NE(client_->chat.history.lines[0].text[0], '\0');
    shell::ResetMatch(*client_);
    for (const shell::ChatLine& line : client_->chat.history.lines) {
        EXPECT_EQ(line.text[0], '\0');
    }
}

TEST_F(MatchMessages, ALateConcedeVoteIsRecordedButDoesNotConcede) {
    rules::MatchState& m = client_->match;
    m.localSlot = 0;
    m.shooter = m.shot.player = 0;
    m.concedeAllowed = true;
    m.swingStarted = true;
    Handle(Packet(shell::kMsgConcedeVote, {0}));
    EXPECT_EQ(m.rules.players[1].concedeVote, 1);
    EXPECT_FALSE(m.conceded);

    m.rules.players[1].concedeVote = 0;
    m.swingStarted = false;
    Handle(Packet(shell::kMsgConcedeVote, {0}));
    EXPECT_TRUE(m.conceded);
    EXPECT_EQ(m.shot.finished, 1);
    EXPECT_FALSE(m.concedeAllowed);  // once per hole

    m.rules.players[1].concedeVote = 0;
    Handle(Packet(shell::kMsgConcedeVote, {0}, "Zed"));  // nobody of this match
    EXPECT_EQ(m.rules.players[1].concedeVote, 0);
}

TEST_F(MatchMessages, ATimeOutCountsAgainstTheShooterAndForcesTheSwing) {
    rules::MatchState& m = client_->match;
    m.shooter = 1;
    Handle(Packet(shell::kMsgTimeOut, {1}));
    EXPECT_EQ(m.slots[1].timeOuts, 1);
    EXPECT_EQ(m.timeOutSlot, 1);
    EXPECT_TRUE(client_->turn.shotMade);
}

TEST_F(MatchMessages, APowerShotNeedsFiveBallsAndUsesTheAllowance) {
    rules::MatchState& m = client_->match;
    m.localSlot = 0;
    m.powerShotAvailable = true;
    client_->shell.gameState = shell::GameState::Playing;
    client_->turn.active = true;
    const int allowance = m.powerShotAllowance;
    ASSERT_EQ(allowance, 2);  // a short match of three holes

    m.rules.players[0].balance = 4;
    shell::PressPowerShot(*client_);
    EXPECT_EQ(m.shot.powerShot, 0);
    EXPECT_EQ(m.powerShotAllowance, allowance);

    m.rules.players[0].balance = 5;
    shell::PressPowerShot(*client_);
    EXPECT_EQ(m.shot.powerShot, 1);
    EXPECT_EQ(m.powerShotAllowance, allowance - 1);
    EXPECT_FALSE(m.powerShotAvailable);  // one per hole
}

TEST(PowerShotAllowance, GrowsWithTheNumberOfHoles) {
    EXPECT_EQ(shell::PowerShotAllowance(1), 2);
    EXPECT_EQ(shell::PowerShotAllowance(6), 2);
    EXPECT_EQ(shell::PowerShotAllowance(7), 3);
    EXPECT_EQ(shell::PowerShotAllowance(9), 3);
    EXPECT_EQ(shell::PowerShotAllowance(12), 3);
    EXPECT_EQ(shell::PowerShotAllowance(13), 6);
    EXPECT_EQ(shell::PowerShotAllowance(18), 6);
}

TEST(ImpactErrorByte, KeepsTheBiteThresholdsOfTheExactValue) {
    for (float e : {0.0f, 5.99f, 6.0f, 6.01f, 9.99f, 10.0f, 10.001f, 15.0f}) {
        const float carried = shell::ImpactErrorFromByte(shell::ImpactErrorByte(e));
        EXPECT_EQ(carried > 6.0f, e > 6.0f) << e;
        EXPECT_EQ(carried > 10.0f, e > 10.0f) << e;
        EXPECT_NEAR(carried, e, 1.0f / 16.0f);
    }
    EXPECT_EQ(shell::ImpactErrorByte(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(shell::ImpactErrorByte(1.0e9f), 255);
}

}  // namespace

namespace {

TEST(StateLog, LinesCarryEveryFloatAsItsExactBits) {
    rules::MatchState m;
    m.options.playerCount = 2;
    m.currentHole = 3;
    m.rules.turnCounter = 5;
    m.shot.player = 1;
    m.rules.players[0].ballPos = {1.0f, -2.0f, 0.5f};
    m.rules.players[1].strokes = 4;
    m.rules.players[1].finishedHole = 1;
    m.rules.players[1].balance = 7;
    m.rules.players[1].surface = 2;
    EXPECT_EQ(shell::ShotLogLine(m, {0.0f, 1.0f, -0.0f}),
              "shot hole=3 count=5 shooter=1 replay=00000000,3f800000,80000000"
              " p0=3f800000,c0000000,3f000000,lie=0,strokes=0,holed=0,balls=0,total=0,over=0,points=0"
              " p1=00000000,00000000,00000000,lie=2,strokes=4,holed=1,balls=7,total=0,over=0,points=0");
    m.rules.pot = 9;
    EXPECT_EQ(shell::HoleEndLogLine(m).substr(0, 27), "hole-end hole=3 shots=5 pot");
}

}  // namespace
