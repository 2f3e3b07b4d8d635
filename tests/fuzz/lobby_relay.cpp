// Feeds arbitrary bytes to the lobby as one client's packet: the relay checks, reports and
// routes it to the outboxes of a small match.

#include <cstddef>
#include <cstdint>
#include <sstream>

#include "lobby/relay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lobby::Relay relay;
    for (const char* name : {"Ann", "Bob"}) {
        relay.clients.emplace_back().seat.name = name;
    }
    relay.clients.emplace_back().seat = lobby::Seat{"Watcher", true, 0, true};
    relay.players = 2;
    std::ostringstream reports;
    lobby::RelayPacket(relay, relay.clients[0], data, size, reports);
    lobby::ClientLeft(relay, relay.clients[1]);
    return 0;
}
