#pragma once
// Test helper: the message types of the packets waiting on a lobby socket, in arrival order.

#include <cstdint>
#include <vector>

#include "game/shell/lobby/lobby_packet.h"
#include "platform/lobby_socket.h"

namespace fixtures {

inline std::vector<uint32_t> PacketTypesOn(platform::LobbySocket& socket) {
    std::vector<uint32_t> types;
    socket.ReceivePending([&](const uint8_t* d, size_t n) {
        shell::LobbyHeader h;
        if (shell::ReadLobbyHeader(d, n, h)) {
            types.push_back(h.type);
        }
    });
    return types;
}

}  // namespace fixtures
