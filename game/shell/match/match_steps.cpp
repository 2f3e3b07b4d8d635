// The match flow as the frame loop sees it: start of the match and of each hole, the driver's
// turns, the game messages, the timed play states and the mouse.
#include "game/shell/match/match_steps.h"

#include <cstring>
#include <random>

#include "game/course/object_texels.h"
#include "game/shell/client.h"
#include "game/shell/lobby/lobby_packet.h"
#include "game/shell/match/autoplay.h"
#include "game/shell/match/game_end.h"
#include "game/shell/match/hud_actions.h"
#include "game/shell/match/hud_clicks.h"
#include "game/shell/match/match_driver.h"
#include "game/shell/match/match_lines.h"
#include "game/shell/match/match_messages.h"
#include "game/shell/match/match_setup.h"
#include "game/shell/match/play_logic.h"
#include "game/shell/match/player_left.h"
#include "game/shell/match/replay.h"
#include "game/shell/match/scene_sync.h"
#include "game/shell/match/snapshot_sync.h"
#include "game/shell/match/swing.h"

namespace shell {

namespace {

platform::Vec3 OnGround(const float point[2], platform::Vec3 seated) {
    return seated.x == point[0] && seated.z == point[1] ? seated : platform::Vec3{point[0], 0.0f, point[1]};
}

// The hole as loaded, kept apart before any object turns toward this client's camera.
void KeepCollisionModel(Client& client) {
    MatchExtras& extras = client.matchExtras;
    extras.seatedModel.reset();
    extras.collisionModel.reset();
    extras.opacity = nullptr;
    if (client.hole.HoleModel == nullptr || !client.hole.prepared) {
        return;
    }
    extras.seatedModel = std::make_unique<core::FnxModel>(*client.hole.HoleModel);
    extras.collisionModel = std::make_unique<core::FnxModel>(*client.hole.HoleModel);
    extras.opacity = course::OpacityFromTextures(client.hole.HoleTextures);
}

}  // namespace

void WorkOutPowerShotAllowance(Client& client) {
    const MatchConfig& m = client.config.match;
    client.match.powerShotAllowance = PowerShotAllowance(m.endHole - m.startHole + 1);
}

void SetUpMatchSwitches(Client& client, const char* autoplay, const char* stateLog) {
    AutoplayState& a = client.matchExtras.autoplay;
    a.enabled = std::strcmp(autoplay, "1") == 0;
    a.rand.Seed(static_cast<uint32_t>(std::random_device{}()));
    client.matchExtras.stateLogPath = stateLog;
    client.rand.Seed(client.clock.NowMs());
}

void ResetMatch(Client& client) {
    ResetMatchState(client.match, client.config);
    client.chat.history = ChatHistory{};  // a match starts with no lines on the screen
}

void ResetPlayersForHole(Client& client) {
    const HoleSettings& settings = client.config.hole;
    const course::HoleState& hole = client.hole;
    KeepCollisionModel(client);
    ResetMatchForHole(client.match, settings, OnGround(settings.tee, hole.TeePoint),
                      OnGround(settings.defaultAim, hole.DefaultAim),
                      OnGround(settings.pin, hole.MapPinPoint));
    ShowMatchInScene(client);
    rules::MatchState& m = client.match;
    if (IsFirstHoleOfMatch(client) && client.config.match.observersAllowed && !m.observerNoticeShown) {
        m.observerNoticeShown = true;
        ShowAnnouncementLine(client, MatchText(client, kStringObserversWelcome).text);
    }
}

bool IsMatchDriver(const Client& client) {
    return client.match.localSlot == 0;
}

bool IsFirstHoleOfMatch(const Client& client) {
    return client.match.currentHole == client.config.match.startHole;
}

int CurrentHole(const Client& client) {
    return client.match.currentHole;
}

bool HoleIsFinished(const Client& client) {
    return client.match.holeFinished;
}

bool IsLastHole(const Client& client) {
    return client.match.currentHole >= client.match.lastHole;
}

void StartHole(Client& client) {
    DriverStartNextTurn(client);
}

void StartNextTurn(Client& client) {
    DriverStartNextTurn(client);
}

void MarkShotShown(Client& client) {
    client.match.shotShown = true;
}

void RunPlayLogic(Client& client) {
    RunPlaying(client);
    RunAutoplay(client);
}

void DriftWind(Client& client) {
    DriverDriftWind(client);
}

// The built-in player's due click is read before the gauge's run-out: a long frame must not let the
// gauge run past the moment the hand clicked.
void RunSwingLogic(Client& client) {
    RunAutoplay(client);
    if (client.shell.gameState == GameState::Swing) {
        RunSwing(client);
    }
}

void RunReplayLogic(Client& client) {
    RunReplay(client);
}

void SendPendingSnapshots(Client& client) {
    SendQueuedSnapshots(client);
}

void HandleGameMessage(Client& client, const LobbyPacket& packet) {
    switch (packet.type) {
        case kMsgSnapshot:
            JoinWithSnapshot(client, packet);
            break;
        case kMsgPlayerLeft:
            HandlePlayerLeft(client, packet);
            break;
        case kMsgObserverJoin:
            RequestSnapshot(client, packet);
            break;
        case kMsgCloseMatch:
            CloseGameByLobby(client);
            break;
        default:
            HandleMatchMessage(client, packet);
            break;
    }
}

void HandleMouseMove(Client& client, int x, int y) {
    HandleHudHover(client, x, y);
}

void HandleClick(Client& client, int x, int y) {
    HandleHudClick(client, x, y);
}

}  // namespace shell
