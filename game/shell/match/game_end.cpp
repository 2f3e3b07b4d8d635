#include "game/shell/match/game_end.h"

#include "game/shell/client.h"
#include "game/shell/lobby/lobby_messages.h"
#include "game/shell/match/match_lines.h"

namespace shell {

namespace {

constexpr int kStringGameClosed = 40;

}  // namespace

void CloseGameByLobby(Client& client) {
    if (client.matchExtras.ending.running) {
        return;
    }
    const GameText text = MatchText(client, kStringGameClosed, kPlaceholderId, client.lobby.localName);
    AnnounceToAll(client, text.text);
    ShowSystemLine(client, text.text);
    StartGameEnding(client, kLobbyCloseMs);
}

void StartGameEnding(Client& client, uint32_t ms) {
    GameEnding& ending = client.matchExtras.ending;
    if (ending.running) {
        return;
    }
    ending.running = true;
    ending.endMs = client.clock.NowMs() + ms;
    RequestFullRedraw(client);
}

bool RunGameEnding(Client& client) {
    GameEnding& ending = client.matchExtras.ending;
    if (!ending.running) {
        return false;
    }
    if (static_cast<int32_t>(client.clock.NowMs() - ending.endMs) >= 0 && !client.shell.quitting) {
        SendGameEnd(client.lobby);
        EndGame(client);
    }
    return true;
}

}  // namespace shell
