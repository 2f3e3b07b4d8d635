#pragma once
// Who may wait at a hosting Ravelin before proving the join code. Unjoined connections are few
// and short-lived (a hello deadline of a few seconds): at most kMaxUnjoined of them at once, and
// at most kMaxUnjoinedPerGroup from one address group (an IPv4 address, or an IPv6 /64, which one
// home network or one rented machine usually has whole). The rest of the host's connections are
// kept for peers who proved the code. When the pool is full, a newcomer from a group with fewer
// waiting than the largest group takes the place of that group's oldest connection, so a few
// addresses that keep re-opening connections cannot keep an honest joiner out.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>

namespace lobby {

inline constexpr size_t kMaxUnjoined = 32;
inline constexpr size_t kMaxUnjoinedPerGroup = 4;

// The group of an address in text form: an IPv4 address (also when written as IPv4-mapped IPv6)
// as itself, an IPv6 address as its first 64 bits ("2001:db8:1:2::/64"); anything unreadable as
// itself.
std::string AddressGroup(const std::string& address);

// An IPv4-mapped IPv6 address as plain IPv4; any other address unchanged.
std::string PlainAddress(const std::string& address);

class UnjoinedPool {
  public:
    struct Decision {
        bool admit = false;
        uint64_t evict = 0;  // admit: the waiting connection to end first, 0 for none
    };
    // A new connection (id > 0, never reused) from group.
    Decision Admit(uint64_t id, const std::string& group);
    // The connection joined, was refused or ended; unknown ids are ignored.
    void Remove(uint64_t id);
    size_t Size() const { return order_.size(); }

  private:
    std::deque<std::pair<uint64_t, std::string>> order_;  // oldest first
    std::map<std::string, size_t> perGroup_;
};

}  // namespace lobby
