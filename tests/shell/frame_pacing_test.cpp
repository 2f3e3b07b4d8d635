// When the main loop runs the next frame.

#include "game/shell/frame_pacing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "game/shell/client.h"
#include "game/shell/lobby/lobby_messages.h"

namespace {

using shell::FrameWaitMs;
using shell::GameState;

TEST(FramePacing, QuietStatesWaitAnimatedOnesRunOftenAndWorkWaitsForNothing) {
    auto client = std::make_unique<shell::Client>();
    client->clock = platform::GameClock::Test(0);
    struct Case {
        GameState state;
        uint32_t interval;
    };
    for (const Case c :
         {Case{GameState::Waiting, shell::kQuietFrameMs}, Case{GameState::Playing, shell::kQuietFrameMs},
          Case{GameState::Scoreboard, shell::kQuietFrameMs},
          Case{GameState::ShotResult, shell::kQuietFrameMs}, Case{GameState::Swing, shell::kAnimatedFrameMs},
          Case{GameState::Replay, shell::kAnimatedFrameMs}, Case{GameState::Startup, 0},
          Case{GameState::LoadHole, 0}}) {
        SCOPED_TRACE(static_cast<int>(c.state));
        client->shell.gameState = c.state;
        EXPECT_EQ(FrameWaitMs(*client, 0), c.interval);
        EXPECT_EQ(FrameWaitMs(*client, 10), c.interval > 10 ? c.interval - 10 : 0);
        EXPECT_EQ(FrameWaitMs(*client, c.interval), 0u);
        EXPECT_EQ(FrameWaitMs(*client, 100000), 0u);
    }

    // A full redraw runs at once; so does a waiting game message, in the states that take one.
    client->shell.gameState = GameState::Waiting;
    client->shell.fullRedrawRequested = true;
    EXPECT_EQ(FrameWaitMs(*client, 0), 0u);
    client->shell.fullRedrawRequested = false;
    shell::SetLobbyIdentity(client->lobby, "Ann", false);
    shell::SendShooterReady(client->lobby, 0);  // alone: it comes straight back into the queue
    ASSERT_EQ(client->lobby.gameQueue.size(), 1u);
    EXPECT_EQ(FrameWaitMs(*client, 0), 0u);
    client->shell.gameState = GameState::Replay;  // the message waits for the replay to end
    EXPECT_EQ(FrameWaitMs(*client, 0), shell::kAnimatedFrameMs);
}

// A fast game clock moves the game on further each frame; it does not draw more frames, which would
// only spend the machine on presenting pictures nobody waits for.
TEST(FramePacing, AFasterGameClockKeepsTheRealFrameInterval) {
    auto client = std::make_unique<shell::Client>();
    setenv("BRIGHTLEA_TIME_SCALE", "20", 1);
    client->clock = platform::GameClock::Real();
    unsetenv("BRIGHTLEA_TIME_SCALE");
    ASSERT_EQ(client->clock.Scale(), 20.0);
    client->shell.gameState = GameState::Playing;
    EXPECT_EQ(FrameWaitMs(*client, 0), shell::kQuietFrameMs);
    client->shell.gameState = GameState::Replay;
    EXPECT_EQ(FrameWaitMs(*client, 0), shell::kAnimatedFrameMs);
}

}  // namespace
