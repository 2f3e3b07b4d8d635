#pragma once
// The client's link to its lobby: sending packets, the receive step with its two queues (chat
// shown at once, game messages waiting for the frame tick), and taking one game message.
//
// With a lobby, packets go out over the lobby socket and everything the lobby relays (our own
// packets included) comes back through the receive step. Without a lobby the client plays on its
// own: every packet it sends is handed straight to its own receive step before Send returns. A
// lobby that goes away during the match is not replaced: from then on sends are dropped.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "game/shell/lobby_packet.h"
#include "platform/lobby_socket.h"

namespace shell {

enum class LobbyMode {
    kAlone,      // no lobby at start-up: our packets loop back to us
    kConnected,  // a lobby socket is open
    kLost,       // the lobby went away: sends are dropped
};

struct LobbyLink {
    LobbyMode mode = LobbyMode::kAlone;
    platform::LobbySocket socket;
    char localName[kLobbyNameField] = {};  // the sender name of everything we send
    bool observer = false;                 // observers never send the match's own messages
    std::deque<LobbyPacket> chatQueue;
    std::deque<LobbyPacket> gameQueue;
    uint32_t droppedMalformed = 0;  // packets too short for their header, length or type
    uint32_t droppedUnknown = 0;    // packets of a type the client does not handle
};

// Connects to the lobby at socketPath; with nobody listening there the link works alone.
void OpenLobbyLink(LobbyLink& link, const std::string& socketPath);
// Uses an already connected socket (in-process lobbies and tests).
void AttachLobbySocket(LobbyLink& link, platform::LobbySocket socket);
// The name our packets carry: the local player's name, or the observer name for an observer.
void SetLobbyIdentity(LobbyLink& link, const char* name, bool observer);

// Sends one message. Returns after the lobby has taken it or, alone, after our own receive step
// has queued it. Nothing is retried and no error is reported.
void LobbySend(LobbyLink& link, const char* recipient, const uint8_t* payload, uint32_t payloadLength);

// The receive step: checks and copies one packet into the chat or the game queue, then shows one
// queued chat message. Malformed packets and unknown types are dropped and counted.
void LobbyReceive(LobbyLink& link, const uint8_t* data, size_t size);
// Runs the receive step for the packets the lobby socket holds now (at most maxPackets); notices a
// lobby that went away. Returns the number of packets taken. Called from the event pump.
int PumpLobby(LobbyLink& link, int maxPackets = 1 << 30);

// Takes the oldest game message into out. While an observer still waits for its snapshot, every
// other message is taken and dropped (false is returned for it). False when the queue is empty.
bool TakeGameMessage(LobbyLink& link, bool waitingForSnapshot, LobbyPacket& out);

}  // namespace shell
