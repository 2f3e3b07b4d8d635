#include "game/shell/frame_tick.h"

#include "game/screens/loading_screen.h"
#include "game/shell/capture.h"
#include "game/shell/chat/chat_display.h"
#include "game/shell/match/match_steps.h"
#include "game/shell/state_work.h"
#include "game/shell/steps/chat_steps.h"
#include "game/shell/view/hud_screens.h"
#include "game/shell/view/picture_present.h"

namespace shell {

namespace {

// Every state but the loading states, the swing (its gauge draws itself) and the unused 1 and 3
// carries the HUD overlay.
bool HasHudOverlay(GameState state) {
    switch (state) {
        case GameState::Startup:
        case GameState::StartupShown:
        case GameState::LoadHole:
        case GameState::LoadHoleShown:
        case GameState::Swing:
            return false;
        default:
            return true;
    }
}

}  // namespace

void FullRedraw(Client& client) {
    switch (client.shell.gameState) {
        case GameState::StartupShown:
        case GameState::LoadHoleShown:
            screens::ShowLoadingScreen(client.display, client.rand, IsFirstHoleOfMatch(client),
                                       client.clock.NowMs());
            break;
        case GameState::Playing:
            RedrawPlayScreen(client);
            break;
        case GameState::Replay:
            RedrawReplayView(client);
            break;
        case GameState::ShotResult:
            DrawShotResult(client);
            break;
        case GameState::Scoreboard:
            DrawScoreboard(client);
            break;
        default:
            break;
    }
}

void FrameTick(Client& client) {
    ShellState& shell = client.shell;
    present::AnimateCursor(client.display, client.clock.NowMs());
    if (!client.matchExtras.ending.running) {
        ShowQueuedChat(client);  // while a game ends, lobby chat waits unshown
    }
    RunStateWork(client);
    if (shell.waitingNoticeArmed && shell.gameState != GameState::Waiting) {
        shell.waitingNoticeArmed = false;
    }
    if (shell.quitting) {
        return;
    }
    if (shell.fullRedrawRequested) {
        shell.fullRedrawRequested = false;
        FullRedraw(client);
    } else {
        if (HasHudOverlay(shell.gameState)) {
            DrawHud(client);
            DrawChatInputStep(client);
        } else if (shell.gameState == GameState::Swing) {
            DrawSwingGaugeStep(client);
            DrawChatInputStep(client);
        }
        PresentStep(client);
        ExpireChatLines(client);
    }
    CaptureOnStateChange(client);
}

}  // namespace shell
