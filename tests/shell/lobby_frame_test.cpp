// The lobby queues as the frame tick sees them.

#include <gtest/gtest.h>

#include <memory>

#include "game/shell/client.h"
#include "game/shell/frame_tick.h"
#include "game/shell/lobby/lobby_messages.h"
#include "game/shell/steps/lobby_steps.h"

namespace {

using shell::Client;
using shell::GameState;

class LobbyFrames : public ::testing::Test {
  protected:
    void SetUp() override {
        client_ = std::make_unique<Client>();
        client_->clock = platform::GameClock::Test(1000);
        ASSERT_EQ(present::InitDisplay(client_->display, nullptr, client_->clock.NowMs()), 0);
        client_->shell.active = true;
        client_->shell.ready = true;
        shell::SetLobbyIdentity(client_->lobby, "Ann", false);  // alone: what it sends comes back
    }
    void TearDown() override { present::ReleaseDisplay(client_->display); }
    void Tick() {
        client_->clock.Advance(16);
        shell::FrameTick(*client_);
    }
    size_t Waiting() const { return client_->lobby.gameQueue.size(); }

    std::unique_ptr<Client> client_;
};

TEST_F(LobbyFrames, ChatIsShownDuringAReplayWhileTheShotEndWaits) {
    shell::SetGameState(*client_, GameState::Replay);
    shell::SendShotEnd(client_->lobby, physics::ShotInput{});
    shell::SendChat(client_->lobby, "nice shot");
    Tick();
    EXPECT_TRUE(client_->lobby.chatQueue.empty());
    EXPECT_STREQ(client_->chat.history.lines[0].text, "[Ann         ] nice shot");
    Tick();
    EXPECT_EQ(Waiting(), 1u);

    shell::SetGameState(*client_, GameState::Waiting);
    Tick();
    EXPECT_EQ(Waiting(), 0u);
}

TEST_F(LobbyFrames, TwoGamePacketsAreHandledInTwoSuccessiveTicks) {
    shell::SetGameState(*client_, GameState::Waiting);
    shell::SendWind(client_->lobby, 0.5f, 3.0f);
    shell::SendShooterReady(client_->lobby, 0);
    Tick();
    ASSERT_EQ(Waiting(), 1u);
    EXPECT_EQ(client_->lobby.gameQueue.front().type, shell::kMsgShooterReady);  // the older one went first
    Tick();
    EXPECT_EQ(Waiting(), 0u);
}

TEST_F(LobbyFrames, OnlyAnObserverWaitsForItsSnapshot) {
    client_->config.match.waitingForSnapshot = 1;  // a match file without the flag leaves it set
    EXPECT_FALSE(shell::AwaitingSnapshot(*client_));

    client_->config.match.localIsObserver = 1;
    EXPECT_TRUE(shell::AwaitingSnapshot(*client_));
    client_->config.match.waitingForSnapshot = 0;
    EXPECT_FALSE(shell::AwaitingSnapshot(*client_));
}

}  // namespace
