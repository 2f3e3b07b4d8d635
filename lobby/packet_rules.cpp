#include "lobby/packet_rules.h"

#include <cstring>

#include "game/shell/lobby/lobby_messages.h"

namespace lobby {

namespace {

// Longest text payload accepted (type, text, terminating NUL and spare byte).
constexpr uint32_t kMaxTextPayload = 4 + 255 + 2;
constexpr uint32_t kTextPayload = 0;  // a text message: its length follows its text
constexpr uint32_t kNotSent = 1;      // clients never send this type

// The payload length N a client sends with each type.
uint32_t ClientPayloadLength(uint32_t type) {
    switch (type) {
        case shell::kMsgChat:
        case shell::kMsgNotice:
        case shell::kMsgQuietNotice:
            return kTextPayload;
        case shell::kMsgTurnStart:
        case shell::kMsgShotSetup:
        case shell::kMsgShot:
        case shell::kMsgShotEnd:
            return 107;
        case shell::kMsgShooterReady:
        case shell::kMsgConcedeVote:
        case shell::kMsgNextHole:
        case shell::kMsgTimeOut:
        case shell::kMsgCallLobby:
            return 5;
        case shell::kMsgHoleReport:
            return 7;
        case shell::kMsgSnapshot:
            return 555;
        case shell::kMsgChatReport:
            return 1220;
        case shell::kMsgPin:
            return 18;
        case shell::kMsgWind:
            return 13;
        case shell::kMsgFinalScores:
            return 70;
        case shell::kMsgBallChange:
            return 23;
        case shell::kMsgGameEnd:
            return 13;
        default:
            return kNotSent;
    }
}

bool BodyFits(uint32_t type, const uint8_t* payload, uint32_t payloadLength) {
    const uint32_t wanted = ClientPayloadLength(type);
    if (wanted != kTextPayload) {
        return payloadLength == wanted;
    }
    return payloadLength >= 6 && payloadLength <= kMaxTextPayload &&
           std::memchr(payload + 4, 0, payloadLength - 4) != nullptr;
}

// The player slot a message names in its first body byte (the slot of a ready, next-hole or
// time-out message, the shooter of a shot record); -1 for types that name none.
int NamedSlot(uint32_t type, const uint8_t* payload) {
    switch (type) {
        case shell::kMsgTurnStart:
        case shell::kMsgShotSetup:
        case shell::kMsgShot:
        case shell::kMsgShotEnd:
        case shell::kMsgShooterReady:
        case shell::kMsgNextHole:
        case shell::kMsgTimeOut:
            return payload[4];
        default:
            return -1;
    }
}

}  // namespace

const char* PacketFaultName(PacketFault fault) {
    switch (fault) {
        case PacketFault::kNone:
            return "none";
        case PacketFault::kHeader:
            return "cut short";
        case PacketFault::kSize:
            return "longer than its length field";
        case PacketFault::kType:
            return "a type this client may not send";
        case PacketFault::kSender:
            return "a sender name that is not the seat's";
        case PacketFault::kBody:
            return "a payload of the wrong length for its type";
        case PacketFault::kSlot:
            return "a slot outside the match's seats";
        case PacketFault::kCount:
            break;
    }
    return "?";
}

PacketFault CheckClientPacket(const Seat& seat, int players, const uint8_t* data, size_t size,
                              shell::LobbyHeader& header) {
    if (!shell::ReadLobbyHeader(data, size, header)) {
        return PacketFault::kHeader;
    }
    if (size > shell::kLobbyHeaderSize + header.payloadLength + 1) {
        return PacketFault::kSize;
    }
    if (ClientPayloadLength(header.type) == kNotSent ||
        (seat.observer && !shell::ObserverMaySend(header.type))) {
        return PacketFault::kType;
    }
    if (seat.name != header.sender) {
        return PacketFault::kSender;
    }
    if (!BodyFits(header.type, data + shell::kLobbyHeaderSize, header.payloadLength)) {
        return PacketFault::kBody;
    }
    if (players > 0 && NamedSlot(header.type, data + shell::kLobbyHeaderSize) >= players) {
        return PacketFault::kSlot;  // the body is long enough: BodyFits checked its length
    }
    return PacketFault::kNone;
}

}  // namespace lobby
