#pragma once
// What the frame loop asks of the match flow: hole and turn logic and the mouse.

namespace shell {

struct Client;
struct LobbyPacket;

void WorkOutPowerShotAllowance(Client& client);
// The automation switches: autoplay "1" lets the built-in player play the local turns; stateLog
// names the file the state log is appended to (empty: none).
void SetUpMatchSwitches(Client& client, const char* autoplay, const char* stateLog);
void ResetMatch(Client& client);
void ResetPlayersForHole(Client& client);
bool IsMatchDriver(const Client& client);
bool IsFirstHoleOfMatch(const Client& client);
// The number of the hole being played.
int CurrentHole(const Client& client);
bool HoleIsFinished(const Client& client);
bool IsLastHole(const Client& client);
void StartHole(Client& client);
void StartNextTurn(Client& client);
void MarkShotShown(Client& client);
void RunPlayLogic(Client& client);
void DriftWind(Client& client);
void RunSwingLogic(Client& client);
void RunReplayLogic(Client& client);
void SendPendingSnapshots(Client& client);
// A game message taken from the lobby queue by the frame tick.
void HandleGameMessage(Client& client, const LobbyPacket& packet);
void HandleMouseMove(Client& client, int x, int y);
void HandleClick(Client& client, int x, int y);

}  // namespace shell
