// No lobby yet: nothing arrives.
#include "game/shell/steps/lobby_steps.h"

#include "game/shell/client.h"

namespace shell {

void ConnectLobby(Client&) {}
void ProcessOneGameMessage(Client&) {}

}  // namespace shell
