#include "lobby/flow_control.h"

#include <algorithm>

namespace lobby {

int PacketsAllowed(SendAllowance& a, uint64_t nowMs) {
    if (!a.started) {
        a.started = true;
        a.refilledMs = nowMs;
    }
    const double seconds = static_cast<double>(nowMs - a.refilledMs) / 1000.0;
    a.refilledMs = nowMs;
    a.packets = std::min(kSendBurstPackets, a.packets + seconds * kSendRatePackets);
    a.bytes = std::min(kSendBurstBytes, a.bytes + seconds * kSendRateBytes);
    return a.packets < 1.0 || a.bytes <= 0.0 ? 0 : static_cast<int>(a.packets);
}

void NoteRead(SendAllowance& a, bool moreWaiting, uint64_t nowMs) {
    if (moreWaiting && !a.saturated) {
        a.saturatedSinceMs = nowMs;
    }
    a.saturated = moreWaiting;
}

void ChargeAllowance(SendAllowance& a, size_t bytes) {
    a.packets -= 1.0;
    a.bytes -= static_cast<double>(bytes);
    ++a.packetsSent;
    a.bytesSent += bytes;
}

bool FloodsTooLong(const SendAllowance& a, uint64_t nowMs) {
    return a.saturated && nowMs - a.saturatedSinceMs > kFloodCutMs;
}

}  // namespace lobby
