// No match is played yet: the client is the driver of an endless first hole.
#include "game/shell/steps/match_steps.h"

#include "game/shell/client.h"

namespace shell {

void WorkOutPowerShotAllowance(Client&) {}
void ResetMatch(Client&) {}
void HandleGameMessage(Client&, const LobbyPacket&) {}
void ResetPlayersForHole(Client&) {}
bool IsMatchDriver(const Client&) {
    return true;
}
bool IsFirstHoleOfMatch(const Client&) {
    return true;
}
int CurrentHole(const Client& client) {
    return client.config.match.startHole;
}
bool HoleIsFinished(const Client&) {
    return false;
}
bool IsLastHole(const Client&) {
    return false;
}
void StartHole(Client&) {}
void StartNextTurn(Client&) {}
void MarkShotShown(Client&) {}
void RunPlayLogic(Client&) {}
void DriftWind(Client&) {}
void RunSwingLogic(Client&) {}
void RunReplayLogic(Client&) {}
void SendPendingSnapshots(Client&) {}
void HandleMouseMove(Client&, int, int) {}
void HandleClick(Client&, int, int) {}

}  // namespace shell
