#pragma once
// How fast a client may send. Each client has an allowance of packets and bytes that refills at a
// steady rate up to a burst. While it is used up the lobby stops reading that client: its socket
// fills and the kernel makes its sends wait, so a flooding sender slows down instead of burying
// the others. A sender that is held back for most of a window of the lobby's own running time is
// cut: the window is kept in short buckets, so a read that happens to drain the socket does not
// wipe out what came before, and time the lobby itself did not run (a stall, a suspended machine)
// counts against nobody.

#include <cstddef>
#include <cstdint>

namespace lobby {

// Far above what a game client sends (a few packets a turn, a wind every few seconds, a burst of
// chat), far below what floods a match.
inline constexpr double kSendRatePackets = 400.0;  // per second
inline constexpr double kSendBurstPackets = 4000.0;
inline constexpr double kSendRateBytes = 256.0 * 1024.0;  // per second
inline constexpr double kSendBurstBytes = 512.0 * 1024.0;
// The flood window: kFloodBuckets buckets of kFloodBucketMs of running time. A sender held back by
// its allowance in kFloodHeldBuckets of them is removed for flooding (8 s out of 10).
inline constexpr uint64_t kFloodBucketMs = 500;
inline constexpr int kFloodBuckets = 20;
inline constexpr int kFloodHeldBuckets = 16;
// A gap between two looks at a sender longer than this was the lobby's own stall: only this much
// of it counts as running time.
inline constexpr uint64_t kStallMs = 1000;

struct SendAllowance {
    double packets = kSendBurstPackets;
    double bytes = kSendBurstBytes;
    uint64_t refilledMs = 0;
    bool started = false;
    uint64_t runMs = 0;        // the lobby's running time, stalls left out
    uint64_t bucket = 0;       // runMs / kFloodBucketMs at the last look
    uint32_t heldBuckets = 0;  // bit i: held back in bucket (bucket - i)
    bool heldNow = false;      // at the last look more was waiting than the allowance let through
    uint64_t packetsSent = 0;  // every packet and byte read from the client
    uint64_t bytesSent = 0;
};

// How many packets may be read from the client now; 0 while its allowance is used up. Also moves
// the flood window on to nowMs.
int PacketsAllowed(SendAllowance& allowance, uint64_t nowMs);
// Counts one packet read from the client against its allowance.
void ChargeAllowance(SendAllowance& allowance, size_t bytes);
// After a look at the client: heldBack tells whether its allowance, not the reader, left part of
// what it sent waiting.
void NoteHeldBack(SendAllowance& allowance, bool heldBack);
// Held back in kFloodHeldBuckets of the last kFloodBuckets buckets of running time.
bool Floods(const SendAllowance& allowance);

}  // namespace lobby
