#include "game/shell/steps/lobby_steps.h"

#include "game/shell/client.h"
#include "game/shell/steps/match_steps.h"
#include "platform/lobby_socket.h"
#include "platform/window.h"

namespace shell {

void ConnectLobby(Client& client) {
    OpenLobbyLink(client.lobby, platform::LobbySocketPath());
    if (client.shell.gameWindow == nullptr) {
        return;
    }
    // Each lobby packet is one message of the window's pump; none is taken once the game is ending.
    platform::AddMessageSource(*client.shell.gameWindow, [&client] {
        return !client.shell.quitting && PumpLobby(client.lobby, 1) > 0;
    });
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
