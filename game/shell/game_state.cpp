#include "game/shell/game_state.h"

#include "game/shell/client.h"

namespace shell {

void SetGameState(Client& client, GameState state) {
    client.shell.gameState = state;
    client.shell.stateEnteredMs = client.clock.NowMs();
}

void RequestFullRedraw(Client& client) {
    client.shell.fullRedrawRequested = true;
}

}  // namespace shell
