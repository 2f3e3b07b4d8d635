#include "game/shell/lobby_link.h"

#include <cstring>

#include "game/shell/chat_display.h"

namespace shell {

void OpenLobbyLink(LobbyLink& link, const std::string& socketPath) {
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

void LobbySend(LobbyLink& link, const char* recipient, const uint8_t* payload, uint32_t payloadLength) {
    const std::vector<uint8_t> packet = BuildLobbyPacket(link.localName, recipient, payload, payloadLength);
    switch (link.mode) {
        case LobbyMode::kAlone:
            LobbyReceive(link, packet.data(), packet.size());
            break;
        case LobbyMode::kConnected:
            if (!link.socket.Send(packet.data(), packet.size())) {
                link.mode = LobbyMode::kLost;
            }
            break;
        case LobbyMode::kLost:
            break;
    }
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
    const LobbyPacket chat = std::move(link.chatQueue.front());
    link.chatQueue.pop_front();
    ShowChatMessage(chat);
}

int PumpLobby(LobbyLink& link, int maxPackets) {
    if (link.mode != LobbyMode::kConnected) {
        return 0;
    }
    const int taken = link.socket.ReceivePending(
        [&link](const uint8_t* data, size_t size) { LobbyReceive(link, data, size); }, maxPackets);
    if (!link.socket.IsOpen()) {
        link.mode = LobbyMode::kLost;
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
