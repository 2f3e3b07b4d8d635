#pragma once
// What the frame loop asks of the lobby link.

namespace shell {

struct Client;

// Finds the lobby (or, without one, routes the client's own messages back to itself). Called once
// the game window exists, so the link can add its message source to the window's pump.
void ConnectLobby(Client& client);
// Handles at most one queued game message from the lobby.
void ProcessOneGameMessage(Client& client);

}  // namespace shell
