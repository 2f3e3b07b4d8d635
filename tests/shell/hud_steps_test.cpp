// The play screen's controls as the shell offers them to the mouse: which control a point hits
// in the client's current view, and hover redraws.
#include "game/shell/steps/hud_steps.h"

#include <gtest/gtest.h>

#include <cstring>

#include "game/core/surface_kind.h"
#include "game/physics/lie_table.h"
#include "game/screens/hud_controls.h"
#include "game/screens/hud_view.h"
#include "game/shell/client.h"

namespace shell {
namespace {

class HudSteps : public ::testing::Test {
  protected:
    void SetUp() override {
        std::strcpy(client_.config.options.language, "ENG");
        std::strcpy(client_.config.players[0].name, "Ann");
        screens::LoadHudSprites(client_.hud.sprites, BRIGHTLEA_GAMEDATA_DIR, "ENG", false);
        if (screens::Picture(client_.hud.sprites, screens::HudPicture::Chat).width == 0) {
            GTEST_SKIP() << "the data set with the HUD pictures is not built";
        }
    }
    void TearDown() override { FreeHudSprites(client_); }
    Client client_;
};

TEST_F(HudSteps, ChatAndCloseAnswerOutsideTheTurnButTheShotDoesNot) {
    int x = 0, y = 0;
    ASSERT_TRUE(screens::ControlCentre(client_.hud.sprites, screens::HudControl::Chat, -1, x, y));
    EXPECT_EQ(HitTestPlayScreen(client_, x, y).control, screens::HudControl::Chat);
    ASSERT_TRUE(screens::ControlCentre(client_.hud.sprites, screens::HudControl::Close, -1, x, y));
    EXPECT_EQ(HitTestPlayScreen(client_, x, y).control, screens::HudControl::Close);
    ASSERT_TRUE(screens::ControlCentre(client_.hud.sprites, screens::HudControl::Shot, -1, x, y));
    EXPECT_EQ(HitTestPlayScreen(client_, x, y).control, screens::HudControl::None);
    EXPECT_EQ(HitTestPlayScreen(client_, 300, 200).control, screens::HudControl::None);
}

TEST_F(HudSteps, HoverWithoutASurfaceOnlyUpdatesTheFlags) {
    int x = 0, y = 0;
    ASSERT_TRUE(screens::ControlCentre(client_.hud.sprites, screens::HudControl::Chat, -1, x, y));
    HoverPlayScreen(client_, x, y);  // no display: nothing is drawn, nothing fails
    EXPECT_TRUE(client_.hud.state.hover[static_cast<int>(screens::HudControl::Chat)]);
    HoverPlayScreen(client_, 5, 5);
    EXPECT_FALSE(client_.hud.state.hover[static_cast<int>(screens::HudControl::Chat)]);
}

TEST_F(HudSteps, TheHudShowsTheLieTheShotIsPlayedFromNotWhereItEnds) {
    client_.match.shot.startSurface = core::kSurfaceBunker;
    client_.match.shot.surface = core::kSurfaceWater;  // as the simulation leaves it before the replay
    screens::HudView view;
    FillHudView(client_, view);
    EXPECT_STREQ(view.lieNameText, "Bunker");

    // A chip that will stop on the green: no green panels while the ball is in the air.
    client_.match.shot.startSurface = core::kSurfaceFairway;
    client_.match.shot.surface = core::kSurfaceGreen;
    client_.shell.gameState = GameState::Replay;
    FillHudView(client_, view);
    EXPECT_FALSE(view.onGreen);
    EXPECT_FALSE(view.showSlopes);
    client_.match.shot.startSurface = core::kSurfaceGreen;  // a putt
    FillHudView(client_, view);
    EXPECT_TRUE(view.onGreen);
    EXPECT_TRUE(view.showSlopes);
}

TEST_F(HudSteps, WhileTheBallFliesTheAimIsMeasuredFromWhereTheShotWasPlayed) {
    physics::ShotInput& shot = client_.match.shot;
    shot.startPos = {0, 0, 0};
    shot.ballPos = {0, 0, 100};  // where the simulation leaves the ball, before the replay shows it
    shot.aimTarget = {0, 0, 110};
    screens::HudView resting, flying;
    client_.shell.gameState = GameState::ShotResult;
    FillHudView(client_, resting);
    client_.shell.gameState = GameState::Replay;
    FillHudView(client_, flying);
    EXPECT_GT(resting.targetDistance, 0.0f);
    EXPECT_FLOAT_EQ(flying.targetDistance, 11.0f * resting.targetDistance);
}

}  // namespace
}  // namespace shell
