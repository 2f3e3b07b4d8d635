#pragma once
// What the lobby accepts from a client: only the message types a client sends (an observer only
// the few an observer sends), carrying the seat's own name as sender, with the exact payload
// length of the type and the packet as long as its length field says. Everything else is refused.

#include <cstddef>
#include <cstdint>

#include "game/shell/lobby/lobby_packet.h"
#include "lobby/client_setup.h"

namespace lobby {

enum class PacketFault {
    kNone,
    kHeader,  // shorter than the header and type, or shorter than its stated payload
    kSize,    // longer than its stated payload and the spare byte
    kType,    // a type this client may not send (the lobby's own types among them)
    kSender,  // the sender field is not the seat's name
    kBody,    // the payload length is wrong for the type, or a text is not terminated
    kSlot,    // names a player slot outside the match's seats
    kCount
};

// A short name of the fault for logs and JSON lines.
const char* PacketFaultName(PacketFault fault);

// Checks one packet received from the client in seat, in a match of players player seats (0: slots
// are not checked). header is filled when the header could be read (every fault but kHeader).
PacketFault CheckClientPacket(const Seat& seat, int players, const uint8_t* data, size_t size,
                              shell::LobbyHeader& header);

}  // namespace lobby
