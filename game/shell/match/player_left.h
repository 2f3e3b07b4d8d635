#pragma once
// The lobby reports that a player left the match (message 91, his name in the recipient field):
// his stake is settled, the others close the gap he leaves, and the turn or hole goes on without
// him. In a team match his leaving ends the match.

namespace shell {

struct Client;
struct LobbyPacket;

void HandlePlayerLeft(Client& client, const LobbyPacket& packet);

}  // namespace shell
