#pragma once
// The client's link to its lobby: sending packets, the receive step with its two queues (chat,
// which the client shows as soon as it has pumped the link or at the start of the next frame, and
// game messages waiting for the frame tick), and taking one game message.
//
// With a lobby, packets go out over the lobby socket and everything the lobby relays (our own
// packets included) comes back through the receive step. Without a lobby the client plays on its
// own: every packet it sends is handed straight to its own receive step before Send returns.
//
// Sending never blocks the game: what the socket cannot take now waits in the link's outbox. A
// lobby that stops answering is waited for (the player is told), a broken connection is made
// again while the lobby's socket comes back within a set time, and a lobby that is really gone
// ends the link with a reason (see lobby_link_watch.h).

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "game/shell/lobby/lobby_packet.h"
#include "platform/lobby_socket.h"

namespace shell {

enum class LobbyMode {
    kAlone,         // no lobby at start-up: our packets loop back to us
    kConnected,     // a lobby socket is open
    kReconnecting,  // the connection broke: connecting again for a while, sends wait in the outbox
    kLost,          // the lobby is gone for good (lostReason): sends are dropped, the game ends
};

// Received game messages kept at most; while the queue is this full the link stops reading, so a
// lobby (or a flooding player) that sends faster than the game handles is slowed, not stored.
inline constexpr size_t kGameQueueLimit = 4096;
// Bytes of our own packets kept while the lobby does not take them.
inline constexpr size_t kLobbyOutboxLimitBytes = 1u << 20;

struct LobbyLink {
    LobbyMode mode = LobbyMode::kAlone;
    platform::LobbySocket socket;
    std::string socketPath;                // where the lobby was found, for connecting again
    char localName[kLobbyNameField] = {};  // the sender name of everything we send
    bool observer = false;                 // observers never send the match's own messages
    std::deque<LobbyPacket> chatQueue;
    std::deque<LobbyPacket> gameQueue;
    std::deque<std::vector<uint8_t>> outbox;  // our packets the socket has not taken yet, oldest first
    size_t outboxBytes = 0;

    // Watching the lobby, on the link's own clock (real milliseconds, never scaled).
    uint32_t nowMs = 0;                // the clock at the last service of the link
    bool awaitingAnswer = false;       // we sent something and the lobby has sent nothing since
    uint32_t awaitingSinceMs = 0;      //
    bool stallReported = false;        // the player was told that the lobby does not answer
    uint32_t brokenSinceMs = 0;        // kReconnecting: when the connection broke
    uint32_t nextConnectMs = 0;        // kReconnecting: when to try again
    std::string lostReason;            // kLost: why, for the player and standard error
    std::vector<std::string> notices;  // what the player was told about the link, oldest first

    uint32_t droppedMalformed = 0;  // packets too short for their header, length or type
    uint32_t droppedUnknown = 0;    // packets of a type the client does not handle
};

// Connects to the lobby at socketPath; with nobody listening there the link works alone.
void OpenLobbyLink(LobbyLink& link, const std::string& socketPath);
// Uses an already connected socket (in-process lobbies and tests).
void AttachLobbySocket(LobbyLink& link, platform::LobbySocket socket);
// The name our packets carry: the local player's name, or the observer name for an observer.
void SetLobbyIdentity(LobbyLink& link, const char* name, bool observer);

// Sends one message. Alone, our own receive step has queued it when this returns; with a lobby it
// is handed to the socket, or kept in the outbox until the socket takes it (after a reconnection
// too). A lost lobby drops it.
void LobbySend(LobbyLink& link, const char* recipient, const uint8_t* payload, uint32_t payloadLength);

// The receive step: checks and copies one packet into the chat or the game queue. Malformed
// packets and unknown types are dropped and counted.
void LobbyReceive(LobbyLink& link, const uint8_t* data, size_t size);
// Runs the receive step for the packets the lobby socket holds now (at most maxPackets), unless the
// game queue is full. Returns the number of packets taken. Called from the event pump.
int PumpLobby(LobbyLink& link, int maxPackets = 1 << 30);
// Hands the socket as much of the outbox as it takes now.
void FlushLobbyOutbox(LobbyLink& link);

// Takes the oldest game message into out. While an observer still waits for its snapshot, every
// other message is taken and dropped (false is returned for it). False when the queue is empty.
bool TakeGameMessage(LobbyLink& link, bool waitingForSnapshot, LobbyPacket& out);

}  // namespace shell
