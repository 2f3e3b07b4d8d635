#pragma once
// A relay whose clients are connected through socket pairs to game-side lobby links.

#include <sstream>
#include <string>
#include <vector>

#include "game/shell/lobby/lobby_link.h"
#include "game/shell/lobby/lobby_messages.h"
#include "lobby/relay.h"

namespace fixtures {

struct RelayRig {
    lobby::Relay relay;
    std::vector<shell::LobbyLink> links;
    std::ostringstream reports;
    std::ostringstream events;
    std::ostringstream log;

    explicit RelayRig(const std::vector<std::string>& players, const std::vector<std::string>& observers = {})
        : links(players.size() + observers.size()) {
        for (size_t i = 0; i < links.size(); ++i) {
            auto [lobbyEnd, clientEnd] = platform::LobbySocket::Pair();
            lobby::RelayClient& c = relay.clients.emplace_back();
            c.seat.observer = i >= players.size();
            c.seat.name = c.seat.observer ? observers[i - players.size()] : players[i];
            c.seat.slot = static_cast<int>(i);
            c.socket = std::move(lobbyEnd);
            shell::AttachLobbySocket(links[i], std::move(clientEnd));
            shell::SetLobbyIdentity(links[i], c.seat.name.c_str(), c.seat.observer);
        }
        relay.events = &events;
        relay.log = &log;
        relay.players = static_cast<int>(players.size());
    }
    // Takes what one client sent (as far as its allowance lets) into the relay.
    void Read(size_t i) { lobby::ReadClient(relay, relay.clients[i], 1 << 30, reports); }
    // Moves every packet the clients sent through the relay and back to the clients.
    void Run() {
        for (size_t i = 0; i < relay.clients.size(); ++i) {
            Read(i);
        }
        lobby::FlushOutboxes(relay);
        for (shell::LobbyLink& link : links) {
            shell::PumpLobby(link);
        }
    }
    std::vector<uint32_t> GameTypes(size_t i) {
        std::vector<uint32_t> types;
        for (const auto& p : links[i].gameQueue) {
            types.push_back(p.type);
        }
        return types;
    }
};

}  // namespace fixtures
