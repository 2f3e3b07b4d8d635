// The play screen's controls as the shell offers them to the mouse: which control a point hits
// in the client's current view, and hover redraws.
#include "game/shell/view/hud_screens.h"

#include <gtest/gtest.h>

#include <cstring>

#include "game/core/surface_kind.h"
#include "game/physics/lie_table.h"
#include "game/screens/hud_controls.h"
#include "game/screens/hud_view.h"
#include "game/shell/client.h"
#include "game/shell/match/hud_clicks.h"

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

bool Hovered(const Client& client, screens::HudControl control) {
    return client.hud.state.hover[static_cast<int>(control)];
}

// Hover and clicks read the same view as drawing: outside the player's turn the chat and close
// buttons answer, the shot button (not drawn) does not.
TEST_F(HudSteps, ChatAndCloseAnswerOutsideTheTurnButTheShotDoesNot) {
    client_.shell.gameState = GameState::Playing;
    client_.match.localSlot = 0;
    client_.match.shooter = 1;
    int x = 0, y = 0;
    ASSERT_TRUE(screens::ControlCentre(client_.hud.sprites, screens::HudControl::Close, -1, x, y));
    HandleHudHover(client_, x, y);
    EXPECT_TRUE(Hovered(client_, screens::HudControl::Close));
    ASSERT_TRUE(screens::ControlCentre(client_.hud.sprites, screens::HudControl::Shot, -1, x, y));
    HandleHudHover(client_, x, y);
    EXPECT_FALSE(Hovered(client_, screens::HudControl::Shot));
    EXPECT_FALSE(Hovered(client_, screens::HudControl::Close));
    HandleHudClick(client_, x, y);
    EXPECT_EQ(client_.shell.gameState, GameState::Playing);  // no swing outside the turn

    ASSERT_TRUE(screens::ControlCentre(client_.hud.sprites, screens::HudControl::Chat, -1, x, y));
    HandleHudHover(client_, x, y);  // no display: nothing is drawn, nothing fails
    EXPECT_TRUE(Hovered(client_, screens::HudControl::Chat));
    HandleHudClick(client_, x, y);
    EXPECT_TRUE(client_.hud.state.macroMenuOpen);
    HandleHudClick(client_, x, y);
    EXPECT_FALSE(client_.hud.state.macroMenuOpen);
    HandleHudHover(client_, 5, 5);
    EXPECT_FALSE(Hovered(client_, screens::HudControl::Chat));
}

// With no shooter named (before the first turn) and for an observer, nobody's controls are
// offered, and the bite toggle never on the green.
TEST_F(HudSteps, TheTurnsControlsAreOnlyTheShootersOwn) {
    screens::HudView view;
    client_.match.localSlot = 0;
    client_.match.shooter = rules::kNoPlayer;
    client_.match.powerShotAvailable = true;
    client_.match.shot.club = 11;
    FillHudView(client_, view);
    EXPECT_FALSE(view.localTurn);
    EXPECT_FALSE(view.biteOffered);
    EXPECT_FALSE(view.powerShotShown);

    client_.match.shooter = 0;
    FillHudView(client_, view);
    EXPECT_TRUE(view.localTurn);
    EXPECT_TRUE(view.biteOffered);
    EXPECT_TRUE(view.powerShotShown);

    client_.match.shot.lieClass = screens::kLiePutting;
    FillHudView(client_, view);
    EXPECT_FALSE(view.biteOffered);

    client_.config.match.localIsObserver = 1;
    FillHudView(client_, view);
    EXPECT_FALSE(view.localTurn);
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
