#include "game/shell/lobby/lobby_packet.h"

#include <cstring>

#include "game/physics/shot_input.h"
#include "game/shell/lobby/game_snapshot.h"
#include "platform/le_bytes.h"

namespace shell {

namespace {

constexpr int kUnhandled = -1;

// Body bytes a received message needs before it can be handled; kUnhandled for types the client
// never acts on (its own reports coming back included).
int RequiredBody(uint32_t type) {
    switch (type) {
        case kMsgChat:
        case kMsgNotice:
        case kMsgQuietNotice:
        case kMsgSystemText:
        case kMsgConcedeVote:
        case kMsgPlayerLeft:
        case kMsgObserverJoin:
        case kMsgCloseMatch:
            return 0;
        case kMsgShooterReady:
        case kMsgNextHole:
        case kMsgTimeOut:
            return 1;
        case kMsgTurnStart:
        case kMsgShotSetup:
        case kMsgShot:
        case kMsgShotEnd:
            return physics::kShotInputWireSize;
        case kMsgSnapshot:
            return kGameSnapshotWireSize;
        case kMsgPin:
            return 13;
        case kMsgWind:
            return 8;
        default:
            return kUnhandled;
    }
}

}  // namespace

std::vector<uint8_t> BuildLobbyPacket(const char* sender, const char* recipient, const uint8_t* payload,
                                      uint32_t payloadLength) {
    std::vector<uint8_t> bytes(kLobbyHeaderSize + payloadLength + 1, 0);
    platform::LeWriter w(bytes.data(), bytes.size());
    w.Name(sender, kLobbyNameField);
    w.Name(recipient, kLobbyNameField);
    w.U32(payloadLength);
    if (payloadLength > 0) {
        w.Bytes(payload, payloadLength);
    }
    return bytes;
}

bool ReadLobbyHeader(const uint8_t* data, size_t size, LobbyHeader& out) {
    if (data == nullptr || size < kLobbyMinPacket) {
        return false;
    }
    platform::LeReader r(data, size);
    LobbyHeader header;
    r.Name(header.sender, kLobbyNameField);
    r.Name(header.recipient, kLobbyNameField);
    header.payloadLength = r.U32();
    header.type = r.U32();
    if (header.payloadLength < 4 || header.payloadLength > size - kLobbyHeaderSize) {
        return false;
    }
    out = header;
    return true;
}

PacketCheck ParseLobbyPacket(const uint8_t* data, size_t size, LobbyPacket& out) {
    LobbyHeader header;
    if (!ReadLobbyHeader(data, size, header)) {
        return PacketCheck::kMalformed;
    }
    const int required = RequiredBody(header.type);
    if (required == kUnhandled) {
        return PacketCheck::kUnknownType;
    }
    const size_t bodyLength = header.payloadLength - 4;
    if (bodyLength < static_cast<size_t>(required)) {
        return PacketCheck::kMalformed;
    }
    LobbyPacket packet;
    std::memcpy(packet.sender, header.sender, kLobbyNameField);
    std::memcpy(packet.recipient, header.recipient, kLobbyNameField);
    packet.type = header.type;
    packet.body.assign(data + kLobbyHeaderSize + 4, data + kLobbyHeaderSize + 4 + bodyLength);
    out = std::move(packet);
    return PacketCheck::kAccepted;
}

bool IsChatType(uint32_t type) {
    return type == kMsgChat || type == kMsgNotice || type == kMsgQuietNotice || type == kMsgSystemText;
}

std::string PacketText(const LobbyPacket& packet) {
    if (packet.body.empty()) {
        return std::string();
    }
    const char* text = reinterpret_cast<const char*>(packet.body.data());
    return std::string(text, strnlen(text, packet.body.size()));
}

}  // namespace shell
