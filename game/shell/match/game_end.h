#pragma once
// The ends of a game that are not the last hole's scoreboard: the lobby closing the game, and the
// pause before a client leaves on its own with message 94.

#include <cstdint>

namespace shell {

struct Client;

inline constexpr uint32_t kLobbyCloseMs = 1000;       // the closing notice stays up this long
inline constexpr uint32_t kTeamSettlementMs = 10000;  // the team settlement stays up this long

// The lobby closes the game (message 97): everyone is told, the picture stays up a moment, then
// the client says it has gone and ends.
void CloseGameByLobby(Client& client);

// Keeps the picture up for ms, handling nothing else, then sends message 94 and ends the game. A
// second request while one runs is ignored, so message 94 goes out once.
void StartGameEnding(Client& client, uint32_t ms);

// Run at the start of each frame: true while an ending is running (the frame does nothing else).
bool RunGameEnding(Client& client);

}  // namespace shell
