// Whole holes played by several clients in one process through an in-process lobby, with the
// built-in player on every seat.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "game/course/terrain_grid.h"
#include "game/screens/map_aim.h"
#include "game/shell/lobby/lobby_packet.h"
#include "game/shell/match/hud_actions.h"
#include "game/shell/match/hud_clicks.h"
#include "game/shell/view/hud_screens.h"
#include "tests/shell/match_table.h"

namespace {

using shell::GameState;

class MatchFlow : public MatchTable {};

TEST_F(MatchFlow, OnePlayerPlaysAHoleFromTeeToCup) {
    SeatAutoplayers({.players = 1});
    PlayOut();
    ASSERT_TRUE(AllEnded());
    const rules::PlayerRecord& ann = C(0).match.rules.players[0];
    EXPECT_EQ(ann.finishedHole, 1);
    EXPECT_GE(ann.strokes, 1);
    EXPECT_LE(ann.strokes, 2 * C(0).match.rules.par);
    EXPECT_EQ(ann.totalStrokes, ann.strokes);
    EXPECT_EQ(CountSent(shell::kMsgHoleReport), 1u);
    EXPECT_EQ(CountSent(shell::kMsgFinalScores), 1u);
    EXPECT_LE(CountSent(shell::kMsgTurnStart), ann.strokes);  // penalty strokes come without a turn
}

TEST_F(MatchFlow, TheFirstTurnReadsFirstShotUntilTheBallIsStruck) {
    Seat({.players = 1});
    for (int i = 0; i < 200 && !shell::LocalTurnActive(C(0)); ++i) {
        Tick(50);
    }
    ASSERT_TRUE(shell::LocalTurnActive(C(0)));
    screens::HudView view;
    shell::FillHudView(C(0), view);
    EXPECT_EQ(view.strokeNumber, 1);
    EXPECT_EQ(view.players[0].strokes, 1);
    EXPECT_EQ(view.beforeFirstShot, view.beginner);
}

// The play screen's map panel shows the hole with the pin and the player's ball on it.
TEST_F(MatchFlow, TheMapPanelShowsTheHoleWhenATurnBegins) {
    Seat({.players = 1});
    for (int i = 0; i < 200 && !shell::LocalTurnActive(C(0)); ++i) {
        Tick(50);
    }
    ASSERT_TRUE(shell::LocalTurnActive(C(0)));
    platform::DrawSurface& panel = *C(0).display.mapPanelSurface;
    EXPECT_NE(platform::ReadPixelRgb(panel, 80, 150), 0u);
    screens::HudView view;
    shell::FillHudView(C(0), view);
    const auto onPanel = [](int x, int y) {
        return x > screens::kMapPanelX && x < screens::kMapPanelX + screens::kMapPanelWidth &&
               y > screens::kMapPanelY && y < screens::kMapPanelY + screens::kMapPanelHeight;
    };
    EXPECT_TRUE(onPanel(view.mapPinX, view.mapPinY));
    EXPECT_TRUE(onPanel(view.players[0].mapX, view.players[0].mapY));
    EXPECT_GT(view.players[0].mapY, view.mapPinY);  // the tee lies below the pin

    // A click on the map aims at the ground under it, if that is nearer to the hole than the ball.
    const rules::MatchState& m = C(0).match;
    const float ballToPin = m.shot.ballPos.z - m.rules.pin.z;
    shell::HandleHudClick(C(0), view.mapPinX, view.mapPinY + 8);
    EXPECT_LT(std::abs(m.shot.aimTarget.z - m.rules.pin.z), 0.1f * std::abs(ballToPin));
    shell::FillHudView(C(0), view);
    EXPECT_TRUE(view.showSlopes);  // the slopes at the new target, for a while
    const platform::Vec3 aim = m.shot.aimTarget;
    shell::HandleHudClick(C(0), view.players[0].mapX, view.players[0].mapY + 4);  // behind the ball
    EXPECT_EQ(m.shot.aimTarget.z, aim.z);
    for (int i = 0; i < 70; ++i) {
        Tick(50);
    }
    shell::FillHudView(C(0), view);
    EXPECT_FALSE(view.showSlopes);

    // Clicks up the view, over the hole to the backdrop and the sky: every aim they set lies on the
    // hole's ground, never on the hills beyond it.
    int aims = 0;
    for (int y = 20; y < 520; y += 25) {
        const platform::Vec3 before = m.shot.aimTarget;
        shell::HandleHudClick(C(0), 400, y);
        if (m.shot.aimTarget.z != before.z) {
            ++aims;
        }
        EXPECT_TRUE(course::TerrainHasCell(C(0).hole.grid, m.shot.aimTarget)) << "y " << y;
        EXPECT_LE(std::abs(m.shot.aimTarget.z - m.shot.ballPos.z), 1.2f * std::abs(ballToPin)) << "y " << y;
    }
    EXPECT_GT(aims, 5);
}

// The first drive is seen in the main view: the ball starts at the foot of the picture and flies up
// it, smaller as it goes.
TEST_F(MatchFlow, TheReplayShowsTheBallInTheMainView) {
    SeatAutoplayers({.players = 1});
    for (int i = 0; i < 4000 && C(0).shell.gameState != GameState::Replay; ++i) {
        Step();
    }
    ASSERT_EQ(C(0).shell.gameState, GameState::Replay);
    const physics::ShotTrajectory& path = C(0).replay.trajectory;
    const physics::TrajectoryPoint& start = path.points[0];
    ASSERT_EQ(start.visible, 1);
    EXPECT_NEAR(start.screen[0], 400, 10);
    EXPECT_GT(start.screen[1], 450);
    int shown = 0;
    int highest = start.screen[1];
    for (int i = 1; i <= path.trajectoryCount; ++i) {
        const physics::TrajectoryPoint& p = path.points[i];
        if (p.visible != 0) {
            ++shown;
            highest = std::min(highest, p.screen[1]);
            EXPECT_GT(p.scale, start.scale) << i;  // further away than the start
        }
    }
    EXPECT_GT(shown, path.trajectoryCount / 2);
    EXPECT_LT(highest, 300);
}

TEST_F(MatchFlow, FourPlayersAgreeOnEveryShotAndNobodyPlaysAfterHolingOut) {
    SeatAutoplayers({.players = 4});
    std::vector<int> shooters;
    bool holed[4] = {};
    while (!AllEnded() && C(0).clock.NowMs() < 3600 * 1000) {
        const size_t seen = logs_.empty() ? 0 : logs_[0].size();
        Tick(AnySwinging() ? 10 : 50);
        RecordShots();
        if (logs_[0].size() > seen) {
            const int shooter = C(0).match.shot.player;
            EXPECT_FALSE(holed[shooter]) << "slot " << shooter << " played after holing out";
            holed[shooter] = C(0).match.rules.players[shooter].finishedHole != 0;
            shooters.push_back(shooter);
        }
    }
    ASSERT_TRUE(AllEnded());
    for (size_t i = 1; i < clients_.size(); ++i) {
        EXPECT_EQ(logs_[i], logs_[0]) << "client " << i;
    }
    ASSERT_GE(shooters.size(), 4u);
    EXPECT_EQ(std::vector<int>(shooters.begin(), shooters.begin() + 4), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(CountSent(shell::kMsgHoleReport), 4u);  // every client reports its own strokes once
    EXPECT_EQ(CountSent(shell::kMsgFinalScores), 4u);
}

TEST_F(MatchFlow, TheNextHoleTeesOffByThePreviousHolesStrokes) {
    SeatAutoplayers({.players = 2, .firstHole = 1, .lastHole = 2});
    PlayOut();
    ASSERT_TRUE(AllEnded());
    EXPECT_EQ(logs_[1], logs_[0]);
    EXPECT_EQ(CountSent(shell::kMsgNextHole), 1u);
    EXPECT_EQ(CountSent(shell::kMsgHoleReport), 4u);
    EXPECT_EQ(CountSent(shell::kMsgFinalScores), 2u);
    const rules::MatchRules& r = C(0).match.rules;
    const int first = r.teeOrder[0];
    const int second = r.teeOrder[1];
    const int hole1 = rules::HoleIndex(1);
    EXPECT_TRUE(r.players[first].scorecard[hole1] < r.players[second].scorecard[hole1] ||
                (r.players[first].scorecard[hole1] == r.players[second].scorecard[hole1] && first < second));
    for (int p = 0; p < 2; ++p) {
        EXPECT_EQ(r.players[p].totalStrokes,
                  r.players[p].scorecard[hole1] + r.players[p].scorecard[rules::HoleIndex(2)]);
    }
    // The score strip lists hole 1 with that hole's strokes.
    screens::HudView view;
    shell::FillHudView(C(0), view);
    ASSERT_GE(view.holesPlayed, 1);
    EXPECT_EQ(view.holeStrokes[0], r.players[view.currentSlot].scorecard[hole1]);
}

TEST_F(MatchFlow, AShooterWhoLetsTheTimeRunOutIsSwungForAndCounted) {
    SeatAutoplayers({.players = 2});
    C(0).matchExtras.autoplay.enabled = false;  // Ann, first on the tee, never clicks
    while (CountSent(shell::kMsgShotEnd) == 0 && C(0).clock.NowMs() < 200 * 1000) {
        Tick(AnySwinging() ? 10 : 50);
    }
    EXPECT_EQ(CountSent(shell::kMsgTimeOut), 1u);
    EXPECT_EQ(C(0).match.slots[0].timeOuts, 1);
    EXPECT_EQ(C(0).match.slots[0].timeOuts, 1);
    EXPECT_EQ(C(0).match.shot.player, 0);  // the forced swing was Ann's shot
    EXPECT_FALSE(C(0).match.swingStarted);
}

TEST_F(MatchFlow, TheThirdTimeOutEndsThatPlayersGame) {
    SeatAutoplayers({.players = 2});
    C(0).matchExtras.autoplay.enabled = false;
    Tick(50);                          // the match has started
    C(0).match.slots[0].timeOuts = 2;  // two turns already ran out earlier in the match
    while (!C(0).shell.quitting && C(0).clock.NowMs() < 200 * 1000) {
        Tick(50);
    }
    EXPECT_TRUE(C(0).shell.quitting);
    Relay();
    EXPECT_EQ(CountSent(shell::kMsgGameEnd), 1u);
    EXPECT_EQ(CountSent(shell::kMsgTimeOut), 0u);
}

TEST_F(MatchFlow, TeamPartnersPlayOneBallInTurn) {
    SeatAutoplayers({.players = 4, .teamPlay = true});
    std::vector<int> shooters;
    while (!AllEnded() && C(0).clock.NowMs() < 3600 * 1000) {
        const size_t seen = logs_.empty() ? 0 : logs_[0].size();
        Tick(AnySwinging() ? 10 : 50);
        RecordShots();
        if (logs_[0].size() > seen) {
            const rules::MatchRules& r = C(2).match.rules;
            const int shooter = C(2).match.shot.player;
            shooters.push_back(shooter);
            const rules::PlayerRecord& partner = r.players[shooter ^ 1];
            EXPECT_EQ(std::memcmp(&partner.ballPos, &r.players[shooter].ballPos, sizeof(platform::Vec3)), 0);
            EXPECT_EQ(partner.strokes, r.players[shooter].strokes);
        }
    }
    ASSERT_TRUE(AllEnded());
    for (size_t i = 1; i < clients_.size(); ++i) {
        EXPECT_EQ(logs_[i], logs_[0]) << "client " << i;
    }
    ASSERT_GE(shooters.size(), 2u);
    EXPECT_EQ(shooters[0], 0);  // the sides' first players tee off
    EXPECT_EQ(shooters[1], 2);
    for (int side = 0; side < 2; ++side) {  // within a side the partners alternate
        int last = -1;
        for (int shooter : shooters) {
            if (shooter / 2 == side) {
                EXPECT_NE(shooter, last);
                last = shooter;
            }
        }
    }
}

}  // namespace

namespace {

std::vector<uint32_t> BackBufferPixels(platform::DrawSurface& surface) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < surface.height; y += 2) {
        for (int x = 0; x < surface.width; x += 2) {
            pixels.push_back(platform::ReadPixelRgb(surface, x, y));
        }
    }
    return pixels;
}

// After the banner the client waits for the next turn: nothing is painted over the banner's
// picture while it waits (the shot controls belong to a turn being played).
TEST_F(MatchFlow, WaitingAfterTheBannerLeavesItsPictureAlone) {
    SeatAutoplayers({.players = 2});
    while (C(0).shell.gameState != GameState::ShotResult && C(0).clock.NowMs() < 200 * 1000) {
        Step();
    }
    ASSERT_EQ(C(0).shell.gameState, GameState::ShotResult);
    for (int i = 0; i < 100 && C(0).shell.gameState == GameState::ShotResult; ++i) {
        C(0).clock.Advance(50);  // only Ann's frames: no message reaches her meanwhile
        shell::FrameTick(C(0));
    }
    ASSERT_EQ(C(0).shell.gameState, GameState::Waiting);
    shell::FrameTick(C(0));
    const std::vector<uint32_t> banner = BackBufferPixels(*C(0).display.backBuffer);
    for (int i = 0; i < 6; ++i) {
        C(0).clock.Advance(100);
        shell::FrameTick(C(0));
    }
    EXPECT_EQ(C(0).shell.gameState, GameState::Waiting);
    EXPECT_TRUE(BackBufferPixels(*C(0).display.backBuffer) == banner);
}

}  // namespace
