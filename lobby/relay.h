#pragma once
// The heart of the lobby: every packet a client sends is checked, reported when it is a
// report, and appended in one global order to the outboxes of the clients it is meant for
// (everyone, the sender included, when the recipient is empty; else the one client named).
// A client's outbox fills from the moment its seat exists, so a client that connects late still
// sees every packet of the match in the same order as the others.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "lobby/client_setup.h"
#include "lobby/flow_control.h"
#include "lobby/packet_rules.h"
#include "lobby/turn_watch.h"
#include "platform/code_page.h"
#include "platform/lobby_socket.h"

namespace lobby {

// A client that lets more than this wait unread is taken out of the match.
inline constexpr size_t kOutboxLimitBytes = 4u << 20;
// A client taken out of the match gets this long to read why before its connection is closed.
inline constexpr uint64_t kRemovalGraceMs = 5000;

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
    uint64_t refused = 0;          // packets of this client that were not relayed
    SendAllowance allowance;       // how fast it may send
    bool closing = false;          // removed: its outbox holds only the reason, then it is closed
    uint64_t closeByMs = 0;        // closing: closed at this time even if the reason is still unread
    bool remote = false;           // plays on another machine: socket is its link's end, pid is -1
};

struct Relay {
    std::deque<RelayClient> clients;  // a deque: clients joining later never move the others
    uint64_t relayed = 0;
    uint64_t droppedMalformed = 0;   // too short for the header or its stated length
    uint64_t droppedUnroutable = 0;  // named a recipient that is not in the match
    uint64_t refused[static_cast<size_t>(PacketFault::kCount)] = {};  // by fault (kHeader: droppedMalformed)
    std::ostream* log = nullptr;     // where refusals and removals are told (Ravelin: standard error)
    std::ostream* events = nullptr;  // JSON lines of refused connections and removed clients (stdout)
    uint64_t nowMs = 0;              // the lobby's clock, set before each round
    int players = 0;                 // player seats of the match: the slots a message may name
    std::optional<TurnWatch> turns;  // matches of two or more players: nobody stalls them
    uint64_t droppedStale = 0;       // time-outs of a turn the lobby had already timed out
    platform::CodePage codePage = platform::CodePage::Western1252;  // of the match's texts
    bool finalScoresLogged = false;  // the first final scores were told in the log, for people
};

// Refused packets of one client are logged one by one up to this many, then only counted.
inline constexpr uint64_t kLoggedRefusals = 10;

// Relays one packet received from a client and writes its JSON line to reports when it is a report
// message. A packet the client may not send (see packet_rules.h) is counted and logged instead.
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

// Takes a client out of the match for a reason (a JSON line with the counts goes to relay.events):
// the others are told it left, and the client itself gets a system line with the reason and the
// match's end, for a short while, before its connection is closed.
void RemoveClient(Relay& relay, RelayClient& client, const std::string& reason,
                  const std::vector<std::pair<std::string, uint64_t>>& counts);

// Once every player has left the match, the observers still in it are told the match is over
// (message 97) and their connections are closed shortly after: nobody is left to watch.
void EndObserversAfterPlayers(Relay& relay);

// Acts for the clients that should have acted by now (turn_watch.h): a time-out in the one order
// of the match, or a seat that does not answer taken out of it; the others get a system line.
void WatchTurns(Relay& relay);

// Takes the connections waiting at the client's socket. The first one is the client's; any other
// while it is open is refused: told so, closed, logged and written as a JSON line.
void AcceptConnections(Relay& relay, RelayClient& client);

// Reads what the client sent, as fast as its allowance lets it (a sender held back is slowed by
// its own full socket), and relays it. A client held back for too long is removed for flooding.
void ReadClient(Relay& relay, RelayClient& client, int maxPackets, std::ostream& reports);

// Reads and relays everything still waiting from a client whose process has ended: it can no
// longer flood, and its last reports must not be lost.
void ReadRemainder(Relay& relay, RelayClient& client, std::ostream& reports);

// Writes as much of every outbox as the sockets take now. Clients that have gone stop being
// written to; clients that fall too far behind are removed as slow readers.
void FlushOutboxes(Relay& relay);

// What the relay did, for the log: packets relayed, and packets refused or dropped by reason.
std::string RelaySummary(const Relay& relay);

// The first player still in the match, or nullptr.
RelayClient* FirstPlayer(Relay& relay);

}  // namespace lobby
