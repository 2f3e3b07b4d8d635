#pragma once
// Bringing an observer who joins a running match up to date: a player's client describes the match
// in a snapshot (message 17) when asked (message 95), and the observer takes it over.

#include "game/shell/lobby/game_snapshot.h"

namespace shell {

struct Client;
struct LobbyPacket;

// The match as this client sees it now.
GameSnapshot BuildSnapshot(const Client& client);

// An observer asks for the match (its name is the sender): answered at once while a turn is being
// aimed, otherwise at the start of the next one. Up to kMaxPendingObservers wait; more are dropped.
void RequestSnapshot(Client& client, const LobbyPacket& packet);
// Answers every observer waiting for a snapshot.
void SendQueuedSnapshots(Client& client);

// On an observer still waiting: loads the snapshot's hole and takes the match over. A snapshot with
// anything out of range is refused as a whole (said on standard error) and the observer keeps
// waiting. True when it was applied.
bool JoinWithSnapshot(Client& client, const LobbyPacket& packet);

}  // namespace shell
