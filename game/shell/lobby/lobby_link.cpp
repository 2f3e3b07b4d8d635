#include "game/shell/lobby/lobby_link.h"

#include <algorithm>
#include <cstring>

#include "game/shell/lobby/lobby_link_watch.h"

namespace shell {

void OpenLobbyLink(LobbyLink& link, const std::string& socketPath) {
    link.socketPath = socketPath;
    AttachLobbySocket(link, platform::LobbySocket::Connect(socketPath));
}

void AttachLobbySocket(LobbyLink& link, platform::LobbySocket socket) {
    link.socket = std::move(socket);
    link.mode = link.socket.IsOpen() ? LobbyMode::kConnected : LobbyMode::kAlone;
}

void SetLobbyIdentity(LobbyLink& link, const char* name, bool observer) {
    std::memset(link.localName, 0, sizeof link.localName);
    if (name != nullptr) {
        std::strncpy(link.localName, name, sizeof link.localName - 1);
    }
    link.observer = observer;
}

void FlushLobbyOutbox(LobbyLink& link) {
    while (link.mode == LobbyMode::kConnected && !link.outbox.empty()) {
        const std::vector<uint8_t>& packet = link.outbox.front();
        if (link.socket.TrySend(packet.data(), packet.size()) != platform::SendResult::kSent) {
            return;  // kept for later, or for the next connection
        }
        link.outboxBytes -= packet.size();
        link.outbox.pop_front();
    }
}

void LobbySend(LobbyLink& link, const char* recipient, const uint8_t* payload, uint32_t payloadLength) {
    std::vector<uint8_t> packet = BuildLobbyPacket(link.localName, recipient, payload, payloadLength);
    switch (link.mode) {
        case LobbyMode::kAlone:
            LobbyReceive(link, packet.data(), packet.size());
            return;
        case LobbyMode::kLost:
            return;
        case LobbyMode::kConnected:
        case LobbyMode::kReconnecting:
            break;
    }
    if (recipient == nullptr || recipient[0] == '\0') {
        AwaitLobbyAnswer(link);  // the lobby relays it back to us
    }
    if (link.outboxBytes + packet.size() > kLobbyOutboxLimitBytes) {
        LoseLobby(link, "the lobby has stopped taking our messages");
        return;
    }
    link.outboxBytes += packet.size();
    link.outbox.push_back(std::move(packet));
    FlushLobbyOutbox(link);
}

void LobbyReceive(LobbyLink& link, const uint8_t* data, size_t size) {
    LobbyPacket packet;
    switch (ParseLobbyPacket(data, size, packet)) {
        case PacketCheck::kMalformed:
            ++link.droppedMalformed;
            return;
        case PacketCheck::kUnknownType:
            ++link.droppedUnknown;
            return;
        case PacketCheck::kAccepted:
            break;
    }
    if (!IsChatType(packet.type)) {
        link.gameQueue.push_back(std::move(packet));
        return;
    }
    link.chatQueue.push_back(std::move(packet));
}

int PumpLobby(LobbyLink& link, int maxPackets) {
    if (link.mode != LobbyMode::kConnected || link.gameQueue.size() >= kGameQueueLimit) {
        return 0;
    }
    const int room = static_cast<int>(kGameQueueLimit - link.gameQueue.size());
    const int taken = link.socket.ReceivePending(
        [&link](const uint8_t* data, size_t size) { LobbyReceive(link, data, size); },
        std::min(maxPackets, room));
    if (taken > 0) {
        LobbyAnswered(link);
    }
    return taken;
}

bool TakeGameMessage(LobbyLink& link, bool waitingForSnapshot, LobbyPacket& out) {
    if (link.gameQueue.empty()) {
        return false;
    }
    LobbyPacket packet = std::move(link.gameQueue.front());
    link.gameQueue.pop_front();
    if (waitingForSnapshot && packet.type != kMsgSnapshot) {
        return false;
    }
    out = std::move(packet);
    return true;
}

}  // namespace shell
