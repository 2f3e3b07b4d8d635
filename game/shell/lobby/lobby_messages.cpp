#include "game/shell/lobby/lobby_messages.h"

#include <cstring>
#include <vector>

#include "game/shell/lobby/shot_input_wire.h"
#include "platform/le_bytes.h"

namespace shell {

namespace {

// A payload under construction: the type, the body, and the spare byte most messages end with.
struct Payload {
    std::vector<uint8_t> bytes;
    platform::LeWriter writer;

    Payload(uint32_t type, size_t bodySize, bool spareByte)
        : bytes(4 + bodySize + (spareByte ? 1 : 0), 0), writer(bytes.data(), bytes.size()) {
        writer.U32(type);
    }
};

void SendPayload(LobbyLink& link, const char* recipient, uint32_t type, const Payload& payload) {
    if (link.observer && !ObserverMaySend(type)) {
        return;
    }
    LobbySend(link, recipient, payload.bytes.data(), static_cast<uint32_t>(payload.bytes.size()));
}

void SendBodyless(LobbyLink& link, uint32_t type) {
    SendPayload(link, "", type, Payload(type, 0, true));
}

void SendSlotMessage(LobbyLink& link, uint32_t type, uint8_t slot) {
    Payload p(type, 1, false);
    p.writer.U8(slot);
    SendPayload(link, "", type, p);
}

void SendText(LobbyLink& link, uint32_t type, const char* text) {
    const size_t length = text == nullptr ? 0 : std::strlen(text);
    Payload p(type, length + 1, true);
    p.writer.Bytes(text, length);
    SendPayload(link, "", type, p);
}

void SendShotMessage(LobbyLink& link, uint32_t type, const physics::ShotInput& shot, uint8_t spare = 0) {
    Payload p(type, physics::kShotInputWireSize, true);
    PackShotInput(shot, p.bytes.data() + 4);
    p.bytes.back() = spare;
    SendPayload(link, "", type, p);
}

platform::LeReader BodyReader(const LobbyPacket& packet) {
    return platform::LeReader(packet.body.data(), packet.body.size());
}

}  // namespace

bool ObserverMaySend(uint32_t type) {
    switch (type) {
        case kMsgTurnStart:
        case kMsgShooterReady:
        case kMsgShotSetup:
        case kMsgShot:
        case kMsgShotEnd:
        case kMsgConcedeVote:
        case kMsgNextHole:
        case kMsgTimeOut:
        case kMsgHoleReport:
        case kMsgPin:
        case kMsgWind:
        case kMsgNotice:
        case kMsgQuietNotice:
        case kMsgBallChange:
            return false;
        default:
            return true;
    }
}

void SendChat(LobbyLink& link, const char* text) {
    SendText(link, kMsgChat, text);
}
void SendTurnStart(LobbyLink& link, const physics::ShotInput& shot) {
    SendShotMessage(link, kMsgTurnStart, shot);
}
void SendShooterReady(LobbyLink& link, uint8_t slot) {
    SendSlotMessage(link, kMsgShooterReady, slot);
}
void SendShotSetup(LobbyLink& link, const physics::ShotInput& shot) {
    SendShotMessage(link, kMsgShotSetup, shot);
}
void SendShot(LobbyLink& link, const physics::ShotInput& shot, uint8_t impactByte) {
    SendShotMessage(link, kMsgShot, shot, impactByte);
}
void SendShotEnd(LobbyLink& link, const physics::ShotInput& shot) {
    SendShotMessage(link, kMsgShotEnd, shot);
}
void SendConcedeVote(LobbyLink& link) {
    SendBodyless(link, kMsgConcedeVote);
}
void SendNextHole(LobbyLink& link, uint8_t slot) {
    SendSlotMessage(link, kMsgNextHole, slot);
}
void SendTimeOut(LobbyLink& link, uint8_t slot) {
    SendSlotMessage(link, kMsgTimeOut, slot);
}

void SendHoleReport(LobbyLink& link, uint8_t hole, uint8_t strokes) {
    Payload p(kMsgHoleReport, 2, true);
    p.writer.U8(hole);
    p.writer.U8(strokes);
    SendPayload(link, "", kMsgHoleReport, p);
}

void SendSnapshot(LobbyLink& link, const char* observer, const GameSnapshot& snapshot) {
    Payload p(kMsgSnapshot, kGameSnapshotWireSize, true);
    PackGameSnapshot(snapshot, p.bytes.data() + 4);
    SendPayload(link, observer, kMsgSnapshot, p);
}

void SendChatReport(LobbyLink& link, const char history[kChatReportLines][kChatReportLineSize]) {
    Payload p(kMsgChatReport, kChatReportLines * kChatReportLineSize, true);
    for (int i = 0; i < kChatReportLines; ++i) {
        p.writer.Name(history[i], kChatReportLineSize);
    }
    SendPayload(link, "", kMsgChatReport, p);
}

void SendPin(LobbyLink& link, platform::Vec3 pin, uint8_t skyIndex) {
    Payload p(kMsgPin, 13, true);
    p.writer.Vec(pin);
    p.writer.U8(skyIndex);
    SendPayload(link, "", kMsgPin, p);
}

void SendWind(LobbyLink& link, float direction, float speed) {
    Payload p(kMsgWind, 8, true);
    p.writer.F32(direction);
    p.writer.F32(speed);
    SendPayload(link, "", kMsgWind, p);
}

void SendNotice(LobbyLink& link, const char* text) {
    SendText(link, kMsgNotice, text);
}
void SendQuietNotice(LobbyLink& link, const char* text) {
    SendText(link, kMsgQuietNotice, text);
}

void SendFinalScores(LobbyLink& link, uint8_t startingPlayers, const FinalScore scores[4]) {
    Payload p(kMsgFinalScores, 1 + 4 * 16, true);
    p.writer.U8(startingPlayers);
    for (int i = 0; i < 4; ++i) {
        p.writer.Name(scores[i].name, kPlayerNameSize);
        p.writer.U8(scores[i].present);
        p.writer.U16(scores[i].totalStrokes);
    }
    SendPayload(link, "", kMsgFinalScores, p);
}

void SendBallChange(LobbyLink& link, const char* player, int32_t change, rules::MoneyReason reason) {
    Payload p(kMsgBallChange, kPlayerNameSize + 4 + 1, true);
    p.writer.Name(player, kPlayerNameSize);
    p.writer.I32(change);
    p.writer.U8(reason);
    SendPayload(link, "", kMsgBallChange, p);
}

void SendGameEnd(LobbyLink& link) {
    SendText(link, kMsgGameEnd, "GameEnd");
}
void SendCallLobby(LobbyLink& link) {
    SendBodyless(link, kMsgCallLobby);
}

uint8_t MessageSlot(const LobbyPacket& packet) {
    return BodyReader(packet).U8();
}

physics::ShotInput MessageShot(const LobbyPacket& packet) {
    uint8_t bytes[physics::kShotInputWireSize] = {};
    BodyReader(packet).Bytes(bytes, sizeof bytes);
    return UnpackShotInput(bytes);
}

uint8_t MessageShotSpare(const LobbyPacket& packet) {
    return packet.body.size() > physics::kShotInputWireSize ? packet.body[physics::kShotInputWireSize] : 0;
}

GameSnapshot MessageSnapshot(const LobbyPacket& packet) {
    uint8_t bytes[kGameSnapshotWireSize] = {};
    BodyReader(packet).Bytes(bytes, sizeof bytes);
    return UnpackGameSnapshot(bytes);
}

PinMessage MessagePin(const LobbyPacket& packet) {
    platform::LeReader r = BodyReader(packet);
    PinMessage pin;
    pin.pin = r.Vec();
    pin.skyIndex = r.U8();
    return pin;
}

WindMessage MessageWind(const LobbyPacket& packet) {
    platform::LeReader r = BodyReader(packet);
    WindMessage wind;
    wind.direction = r.F32();
    wind.speed = r.F32();
    return wind;
}

}  // namespace shell
