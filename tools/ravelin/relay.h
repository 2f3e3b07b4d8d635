#pragma once
// The heart of the stand-in lobby: every packet a client sends is checked, reported when it is a
// report, and appended in one global order to the outboxes of the clients it is meant for
// (everyone, the sender included, when the recipient is empty; else the one client named).
// A client's outbox fills from the moment its seat exists, so a client that connects late still
// sees every packet of the match in the same order as the others.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "platform/lobby_socket.h"
#include "tools/ravelin/client_setup.h"

namespace tools {

// A client that lets more than this wait unread is taken out of the match.
inline constexpr size_t kOutboxLimitBytes = 16u << 20;

struct RelayClient {
    Seat seat;
    platform::LobbyListener listener;  // the socket this client's BRIGHTLEA_LOBBY names
    platform::LobbySocket socket;
    std::deque<std::vector<uint8_t>> outbox;  // oldest first
    size_t outboxBytes = 0;
    int pid = -1;
    bool processEnded = false;
    bool gone = false;             // out of the match: receives nothing more
    bool sentFinalScores = false;  // played to the end: leaving afterwards is no longer news
};

struct Relay {
    std::deque<RelayClient> clients;  // a deque: clients joining later never move the others
    uint64_t relayed = 0;
    uint64_t droppedMalformed = 0;   // too short for the header or its stated length
    uint64_t droppedUnroutable = 0;  // named a recipient that is not in the match
};

// Relays one packet received from a client and writes its JSON line to reports when it is a report
// message.
void RelayPacket(Relay& relay, RelayClient& from, const uint8_t* data, size_t size, std::ostream& reports);

// A packet from the lobby itself: empty sender unless given, recipient field as given.
std::vector<uint8_t> LobbyMessage(uint32_t type, const std::string& sender, const std::string& recipient,
                                  const std::string& text = std::string());
// Sends a packet to one client, or to every client still in the match.
void SendToClient(RelayClient& client, const std::vector<uint8_t>& packet);
void SendToAll(Relay& relay, const std::vector<uint8_t>& packet);

// Takes a client out of the match; for a player who leaves before the end, the others are told
// who left (message 91, the leaver's name in the recipient field). Does nothing the second time.
void ClientLeft(Relay& relay, RelayClient& client);

// Writes as much of every outbox as the sockets take now. Clients that have gone stop being
// written to; clients that fall too far behind are taken out of the match.
void FlushOutboxes(Relay& relay);

// The first player still in the match, or nullptr.
RelayClient* FirstPlayer(Relay& relay);

}  // namespace tools
