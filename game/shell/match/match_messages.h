#pragma once
// What every client does when a game message of the match comes back from the lobby.

namespace shell {

struct Client;
struct LobbyPacket;

void HandleMatchMessage(Client& client, const LobbyPacket& packet);

}  // namespace shell
