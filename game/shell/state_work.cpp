#include "game/shell/state_work.h"

#include "game/present/draw_primitives.h"
#include "game/screens/hud_controls.h"
#include "game/screens/loading_screen.h"
#include "game/shell/frame_tick.h"
#include "game/shell/match/game_end.h"
#include "game/shell/match/match_steps.h"
#include "game/shell/shutdown.h"
#include "game/shell/steps/config_steps.h"
#include "game/shell/steps/lobby_steps.h"
#include "game/shell/view/hole_scene.h"
#include "game/shell/view/hud_screens.h"
#include "game/shell/view/picture_present.h"
#include "game/shell/view/sounds.h"

namespace shell {

namespace {

constexpr uint32_t kWaitingNoticeMs = 10000;
constexpr uint32_t kShotResultMs = 2000;
constexpr uint32_t kScoreboardMs = 5000;
constexpr uint32_t kNoticeColor = 0xFFFF00;

void ShowLoadingPicture(Client& client, bool firstHole) {
    screens::ShowLoadingScreen(client.display, client.rand, firstHole, client.clock.NowMs());
}

void RunStartup(Client& client) {
    ShowLoadingPicture(client, true);
    PresentStep(client);
    ReadSwingTimingTable(client);
    LoadHudSprites(client);
    ResetMatch(client);
    CountSkyPictures(client);
    SetGameState(client, GameState::LoadHole);
}

void RunLoadHole(Client& client) {
    ShowLoadingPicture(client, IsFirstHoleOfMatch(client));
    LoadHoleSettings(client);
    LoadHoleGeometry(client);
    if (client.shell.quitting) {
        return;  // the hole was refused and the game has ended
    }
    ResetPlayersForHole(client);
    // The loaded hole waits for the driver's announcements, which starting the hole sends.
    SetGameState(client, GameState::Waiting);
    if (IsMatchDriver(client)) {
        StartHole(client);
    }
    PresentStep(client);
    StartBackgroundSound(client);
}

void RunPlaying(Client& client) {
    SendPendingSnapshots(client);
    if (client.hud.state.menuPhase == screens::ClubMenuPhase::Closed) {
        ProcessOneGameMessage(client);  // an open club menu holds the game messages back
    }
    if (client.shell.quitting) {
        return;
    }
    RunPlayLogic(client);
    const uint32_t now = client.clock.NowMs();
    const bool slopesGone = screens::SlopesRunOut(client.hud.state, now);
    const bool stepReleased = screens::StepReleased(client.hud.state, now);
    if (slopesGone || stepReleased) {
        RequestFullRedraw(client);  // the slope panels or a pressed spin button change back
    }
    if (IsMatchDriver(client)) {
        DriftWind(client);
    }
}

// A black box framed in yellow with two lines of text, drawn over the picture while the client has
// been waiting for a long time.
void DrawWaitingNotice(Client& client) {
    if (client.display.backBuffer == nullptr) {
        return;
    }
    const platform::SurfaceRect box{150, 260, 650, 340};
    present::FillRect(*client.display.backBuffer, box, 0x000000);
    present::DrawFrame(*client.display.backBuffer, box, kNoticeColor);
    DrawNoticeLines(client, 30);
}

void RunWaiting(Client& client) {
    ShellState& shell = client.shell;
    const uint32_t now = client.clock.NowMs();
    if (!shell.waitingNoticeArmed) {
        shell.waitingNoticeArmed = true;
        shell.waitingNoticeTime = now;
    } else if (now - shell.waitingNoticeTime >= kWaitingNoticeMs) {
        DrawWaitingNotice(client);
        shell.waitingNoticeArmed = false;
    }
    ProcessOneGameMessage(client);
}

uint32_t TimeInState(const Client& client) {
    return client.clock.NowMs() - client.shell.stateEnteredMs;
}

void RunShotResult(Client& client) {
    MarkShotShown(client);
    if (TimeInState(client) < kShotResultMs) {
        return;
    }
    if (!HoleIsFinished(client)) {
        SetGameState(client, GameState::Waiting);
        if (IsMatchDriver(client)) {
            StartNextTurn(client);
        }
    } else {
        DrawScoreboard(client);
        SetGameState(client, GameState::Scoreboard);
    }
}

void RunScoreboard(Client& client) {
    MarkShotShown(client);
    if (TimeInState(client) < kScoreboardMs) {
        return;
    }
    SetGameState(client, GameState::Waiting);
    if (IsLastHole(client)) {
        EndGame(client);
    } else if (IsMatchDriver(client)) {
        StartNextTurn(client);
    }
}

}  // namespace

void RunStateWork(Client& client) {
    if (RunGameEnding(client)) {
        return;  // the game is closing: nothing else is handled
    }
    switch (client.shell.gameState) {
        case GameState::Startup:
            RunStartup(client);
            break;
        case GameState::LoadHole:
            RunLoadHole(client);
            break;
        case GameState::Playing:
            RunPlaying(client);
            break;
        case GameState::Swing:
            RunSwingLogic(client);
            break;
        case GameState::Replay:
            RunReplayLogic(client);
            break;
        case GameState::ShotResult:
            RunShotResult(client);
            break;
        case GameState::Scoreboard:
            RunScoreboard(client);
            break;
        case GameState::Waiting:
            RunWaiting(client);
            break;
        default:  // 1, 3, 9 and anything a snapshot may carry: nothing to do
            break;
    }
}

void EndGame(Client& client) {
    DestroyGame(client);
    client.shell.quitting = true;
}

}  // namespace shell
