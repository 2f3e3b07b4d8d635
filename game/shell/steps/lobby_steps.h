#pragma once
// What the frame loop asks of the lobby link.

namespace shell {

struct Client;

// Finds the lobby (or, without one, routes the client's own messages back to itself). Called once
// the game window exists, so the link can add its message source to the window's pump.
void ConnectLobby(Client& client);
// Keeps the link to the lobby going (see lobby_link_watch.h). A lobby that is gone for good ends
// the game with the reason on standard error and exit code 1; false then.
bool WatchLobby(Client& client);
// At the end of the game: the lobby gets what we still had to send before the connection closes.
void FinishLobby(Client& client);
// Handles at most one queued game message from the lobby.
void ProcessOneGameMessage(Client& client);
// An observer who joined a running match and has no snapshot yet: every game message but the
// snapshot is dropped. Only observers wait, so a player whose match file lacks the waiting flag
// (which then stays set) still plays.
bool AwaitingSnapshot(const Client& client);

}  // namespace shell
