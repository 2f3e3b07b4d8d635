// Feeds arbitrary bytes to the stand-in lobby as one client's packet: the relay checks, reports and
// routes it to the outboxes of a small match.

#include <cstddef>
#include <cstdint>
#include <sstream>

#include "tools/ravelin/relay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tools::Relay relay;
    for (const char* name : {"Ann", "Bob"}) {
        relay.clients.emplace_back().seat.name = name;
    }
    relay.clients.emplace_back().seat = tools::Seat{"Watcher", true, 0, true};
    std::ostringstream reports;
    tools::RelayPacket(relay, relay.clients[0], data, size, reports);
    tools::ClientLeft(relay, relay.clients[1]);
    return 0;
}
