#include "lobby/flow_control.h"

#include <algorithm>
#include <bit>

namespace lobby {

namespace {

constexpr uint32_t kWindowMask = (1u << kFloodBuckets) - 1;

}  // namespace

int PacketsAllowed(SendAllowance& a, uint64_t nowMs) {
    if (!a.started) {
        a.started = true;
        a.refilledMs = nowMs;
    }
    const uint64_t elapsed = nowMs >= a.refilledMs ? nowMs - a.refilledMs : 0;
    a.refilledMs = nowMs;
    // What the sender sent while the lobby stalled was sent at its own pace: the allowance refills
    // for the whole gap (up to the burst), but only kStallMs of it counts as running time.
    const double seconds = static_cast<double>(elapsed) / 1000.0;
    a.packets = std::min(kSendBurstPackets, a.packets + seconds * kSendRatePackets);
    a.bytes = std::min(kSendBurstBytes, a.bytes + seconds * kSendRateBytes);
    a.runMs += std::min(elapsed, kStallMs);
    const uint64_t bucket = a.runMs / kFloodBucketMs;
    const uint64_t moved = bucket - a.bucket;
    a.heldBuckets = moved >= kFloodBuckets ? 0 : (a.heldBuckets << moved) & kWindowMask;
    a.bucket = bucket;
    return a.packets < 1.0 || a.bytes <= 0.0 ? 0 : static_cast<int>(a.packets);
}

void ChargeAllowance(SendAllowance& a, size_t bytes) {
    a.packets -= 1.0;
    a.bytes -= static_cast<double>(bytes);
    ++a.packetsSent;
    a.bytesSent += bytes;
}

void NoteHeldBack(SendAllowance& a, bool heldBack) {
    a.heldNow = heldBack;
    if (heldBack) {
        a.heldBuckets |= 1u;
    }
}

bool Floods(const SendAllowance& a) {
    return std::popcount(a.heldBuckets) >= kFloodHeldBuckets;
}

}  // namespace lobby
