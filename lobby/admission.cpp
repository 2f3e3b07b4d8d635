#include "lobby/admission.h"

#include <algorithm>
#include <asio/ip/address.hpp>
#include <cstdio>

namespace lobby {

std::string PlainAddress(const std::string& address) {
    asio::error_code ec;
    const asio::ip::address parsed = asio::ip::make_address(address, ec);
    if (!ec && parsed.is_v6() && parsed.to_v6().is_v4_mapped()) {
        return asio::ip::make_address_v4(asio::ip::v4_mapped, parsed.to_v6()).to_string();
    }
    return address;
}

std::string AddressGroup(const std::string& address) {
    asio::error_code ec;
    const asio::ip::address parsed = asio::ip::make_address(PlainAddress(address), ec);
    if (ec || parsed.is_v4()) {
        return ec ? address : parsed.to_string();
    }
    const asio::ip::address_v6::bytes_type bytes = parsed.to_v6().to_bytes();
    char text[64];
    std::snprintf(text, sizeof text, "%x:%x:%x:%x::/64", bytes[0] << 8 | bytes[1], bytes[2] << 8 | bytes[3],
                  bytes[4] << 8 | bytes[5], bytes[6] << 8 | bytes[7]);
    return text;
}

UnjoinedPool::Decision UnjoinedPool::Admit(uint64_t id, const std::string& group) {
    Decision decision;
    const size_t own = perGroup_.count(group) ? perGroup_[group] : 0;
    if (own >= kMaxUnjoinedPerGroup) {
        return decision;
    }
    if (order_.size() >= kMaxUnjoined) {
        const auto largest =
            std::max_element(perGroup_.begin(), perGroup_.end(),
                             [](const auto& a, const auto& b) { return a.second < b.second; });
        if (largest == perGroup_.end() || largest->second <= own) {
            return decision;  // everyone waits as few as this group: first come, first served
        }
        const auto oldest = std::find_if(order_.begin(), order_.end(),
                                         [&](const auto& entry) { return entry.second == largest->first; });
        decision.evict = oldest->first;
        Remove(oldest->first);
    }
    order_.emplace_back(id, group);
    ++perGroup_[group];
    decision.admit = true;
    return decision;
}

void UnjoinedPool::Remove(uint64_t id) {
    const auto found =
        std::find_if(order_.begin(), order_.end(), [&](const auto& entry) { return entry.first == id; });
    if (found == order_.end()) {
        return;
    }
    if (--perGroup_[found->second] == 0) {
        perGroup_.erase(found->second);
    }
    order_.erase(found);
}

}  // namespace lobby
