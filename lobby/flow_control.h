#pragma once
// How fast a client may send. Each client has an allowance of packets and bytes that refills at a
// steady rate up to a burst. While it is used up the lobby stops reading that client: its socket
// fills and the kernel makes its sends wait, so a flooding sender slows down instead of burying
// the others. A sender that stays held back for long is cut.

#include <cstddef>
#include <cstdint>

namespace lobby {

// Far above what a game client sends (a few packets a turn, a wind every few seconds, a burst of
// chat), far below what floods a match.
inline constexpr double kSendRatePackets = 400.0;  // per second
inline constexpr double kSendBurstPackets = 4000.0;
inline constexpr double kSendRateBytes = 256.0 * 1024.0;  // per second
inline constexpr double kSendBurstBytes = 2.0 * 1024.0 * 1024.0;
// A sender that has more waiting than its allowance lets through, this long without a break, is
// removed for flooding.
inline constexpr uint64_t kFloodCutMs = 10000;

struct SendAllowance {
    double packets = kSendBurstPackets;
    double bytes = kSendBurstBytes;
    uint64_t refilledMs = 0;
    bool started = false;
    bool saturated = false;  // at the last read more was waiting than the allowance let through
    uint64_t saturatedSinceMs = 0;
    uint64_t packetsSent = 0;  // every packet and byte read from the client
    uint64_t bytesSent = 0;
};

// How many packets may be read from the client now; 0 while its allowance is used up.
int PacketsAllowed(SendAllowance& allowance, uint64_t nowMs);
// Counts one packet read from the client against its allowance.
void ChargeAllowance(SendAllowance& allowance, size_t bytes);
// After a read: moreWaiting tells whether the client had more to send than was read.
void NoteRead(SendAllowance& allowance, bool moreWaiting, uint64_t nowMs);
// The client has had more waiting than its allowance, without a break, for longer than kFloodCutMs.
bool FloodsTooLong(const SendAllowance& allowance, uint64_t nowMs);

}  // namespace lobby
