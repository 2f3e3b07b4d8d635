#pragma once
// Refused connections, told without letting a script that keeps knocking fill the report: per
// address, the first kRefusalsTold refusals of an interval are written out one by one, the rest
// only counted and summed up in one line when the interval is over. At most kRefusalAddresses
// addresses are tracked; refusals from further ones are summed up together.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace lobby {

inline constexpr uint64_t kRefusalIntervalMs = 10000;
inline constexpr uint64_t kRefusalsTold = 3;
inline constexpr size_t kRefusalAddresses = 256;

class RefusalDigest {
  public:
    // A refusal from address: true when it is to be written out in full.
    bool Note(const std::string& address, uint64_t nowMs);
    // One JSON line per address whose interval has ended (all of them when everything is set)
    // with refusals that were only counted:
    // {"event":"refused","address":"...","count":N,"seconds":10,"reason":"not told one by one"}.
    std::vector<std::string> Summaries(uint64_t nowMs, bool everything = false);

  private:
    struct Interval {
        uint64_t startMs = 0;
        uint64_t refusals = 0;
    };
    std::map<std::string, Interval> intervals_;
};

}  // namespace lobby
