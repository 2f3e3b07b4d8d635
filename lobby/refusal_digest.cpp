#include "lobby/refusal_digest.h"

#include "lobby/report_json.h"

namespace lobby {

namespace {

constexpr const char* kOtherAddresses = "other addresses";

}  // namespace

bool RefusalDigest::Note(const std::string& address, uint64_t nowMs) {
    const bool known = intervals_.count(address) != 0;
    const std::string& key = known || intervals_.size() < kRefusalAddresses ? address : kOtherAddresses;
    Interval& interval = intervals_[key];
    if (interval.refusals == 0) {
        interval.startMs = nowMs;
    }
    ++interval.refusals;
    return key == address && interval.refusals <= kRefusalsTold;
}

std::vector<std::string> RefusalDigest::Summaries(uint64_t nowMs, bool everything) {
    std::vector<std::string> lines;
    for (auto entry = intervals_.begin(); entry != intervals_.end();) {
        const Interval& interval = entry->second;
        if (!everything && nowMs - interval.startMs < kRefusalIntervalMs) {
            ++entry;
            continue;
        }
        const bool others = entry->first == kOtherAddresses;
        const uint64_t counted = others                              ? interval.refusals
                                 : interval.refusals > kRefusalsTold ? interval.refusals - kRefusalsTold
                                                                     : 0;
        if (counted > 0) {
            const uint64_t seconds = (nowMs - interval.startMs + 999) / 1000;
            lines.push_back(EventJson("refused", "", "connections refused and not told one by one",
                                      {{"count", counted}, {"seconds", seconds}},
                                      {{"address", entry->first}}));
        }
        entry = intervals_.erase(entry);
    }
    return lines;
}

}  // namespace lobby
