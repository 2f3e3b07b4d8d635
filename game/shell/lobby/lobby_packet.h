#pragma once
// The lobby packet: every message between a game client and its lobby. On the wire: sender name
// (20 bytes), recipient name (20 bytes, empty = every client of the match), payload length N
// (u32), N payload bytes starting with the u32 message type, and one spare byte.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace shell {

inline constexpr size_t kLobbyNameField = 20;
inline constexpr size_t kLobbyHeaderSize = 44;  // the two names and the payload length
inline constexpr size_t kLobbyMinPacket = kLobbyHeaderSize + 4;

enum LobbyMessageType : uint32_t {
    kMsgChat = 0,
    kMsgTurnStart = 1,
    kMsgShooterReady = 2,
    kMsgShotSetup = 5,
    kMsgShot = 7,
    kMsgShotEnd = 8,
    kMsgConcedeVote = 9,
    kMsgNextHole = 11,
    kMsgTimeOut = 15,
    kMsgHoleReport = 16,
    kMsgSnapshot = 17,
    kMsgChatReport = 18,
    kMsgPin = 30,
    kMsgWind = 31,
    kMsgNotice = 80,
    kMsgQuietNotice = 81,
    kMsgSystemText = 82,
    kMsgPlayerLeft = 91,
    kMsgFinalScores = 92,
    kMsgBallChange = 93,
    kMsgGameEnd = 94,
    kMsgObserverJoin = 95,
    kMsgCallLobby = 96,
    kMsgCloseMatch = 97,
};

// A received packet as the client keeps it in its queues.
struct LobbyPacket {
    char sender[kLobbyNameField] = {};     // always NUL-terminated
    char recipient[kLobbyNameField] = {};  // always NUL-terminated
    uint32_t type = 0;
    std::vector<uint8_t> body;  // the payload after the type
};

// The fixed part of a packet.
struct LobbyHeader {
    char sender[kLobbyNameField] = {};     // always NUL-terminated
    char recipient[kLobbyNameField] = {};  // always NUL-terminated
    uint32_t payloadLength = 0;
    uint32_t type = 0;
};

// Reads the names, the payload length and the type. False when the packet is shorter than that or
// shorter than the payload length it states.
bool ReadLobbyHeader(const uint8_t* data, size_t size, LobbyHeader& out);

enum class PacketCheck { kAccepted, kMalformed, kUnknownType };

// Builds the bytes of one packet: N + 45 bytes with the spare byte zero. Names longer than 19
// characters are cut.
std::vector<uint8_t> BuildLobbyPacket(const char* sender, const char* recipient, const uint8_t* payload,
                                      uint32_t payloadLength);

// Reads one received packet. A packet shorter than its header and type, shorter than its stated
// payload, or whose body is shorter than its type needs is kMalformed; a type the client has no
// use for is kUnknownType. In both cases out is left untouched.
PacketCheck ParseLobbyPacket(const uint8_t* data, size_t size, LobbyPacket& out);

// The chat types (chat, notices, system text) are shown as soon as they arrive; the others wait
// for the frame tick.
bool IsChatType(uint32_t type);

// The text of a chat or notice packet: the body up to its first NUL, or all of it without one.
std::string PacketText(const LobbyPacket& packet);

}  // namespace shell
