#include "game/shell/steps/lobby_steps.h"

#include <cstdio>

#include "game/shell/chat/chat_display.h"
#include "game/shell/client.h"
#include "game/shell/lobby/lobby_link_watch.h"
#include "game/shell/match/match_steps.h"
#include "platform/lobby_socket.h"
#include "platform/window.h"

namespace shell {

void ConnectLobby(Client& client) {
    OpenLobbyLink(client.lobby, platform::LobbySocketPath());
    if (client.shell.gameWindow == nullptr) {
        return;
    }
    // Each lobby packet is one message of the window's pump; none is taken once the game is ending.
    platform::AddMessageSource(
        *client.shell.gameWindow,
        [&client] {
            if (client.shell.quitting || !WatchLobby(client)) {
                return false;
            }
            const bool took = PumpLobby(client.lobby, 1) > 0;
            ShowQueuedChat(client);
            return took;
        },
        [&client] { return client.lobby.socket.Fd(); });
}

bool WatchLobby(Client& client) {
    ServiceLobbyLink(client.lobby, client.realClock.NowMs());
    if (client.lobby.mode != LobbyMode::kLost) {
        return true;
    }
    if (!client.shell.quitting) {
        std::fprintf(stderr, "Brightlea: %s; the game ends.\n", client.lobby.lostReason.c_str());
        EndGame(client);
        client.shell.exitCode = 1;
    }
    return false;
}

void FinishLobby(Client& client) {
    FinishLobbyLink(client.lobby);
}

bool AwaitingSnapshot(const Client& client) {
    const MatchConfig& match = client.config.match;
    return match.localIsObserver != 0 && match.waitingForSnapshot != 0;
}

void ProcessOneGameMessage(Client& client) {
    LobbyPacket packet;
    if (TakeGameMessage(client.lobby, AwaitingSnapshot(client), packet)) {
        HandleGameMessage(client, packet);
    }
}

}  // namespace shell
