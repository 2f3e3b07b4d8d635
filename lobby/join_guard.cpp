#include "lobby/join_guard.h"

#include <random>

namespace lobby {

std::string MakeJoinCode() {
    static constexpr char kAlphabet[] = "ABCDEFGHJKLMNPQRSTUVWXYZ23456789";  // no I, O, 0, 1
    std::random_device random;                                               // the system's entropy source
    std::uniform_int_distribution<size_t> pick(0, sizeof kAlphabet - 2);
    std::string code;
    for (size_t i = 0; i < kJoinCodeLength; ++i) {
        code += kAlphabet[pick(random)];
    }
    return code;
}

bool CodesMatch(const std::string& given, const std::string& expected) {
    // Every byte of the expected code is compared, whatever the given code's length.
    volatile uint8_t difference = given.size() == expected.size() ? 0 : 1;
    for (size_t i = 0; i < expected.size(); ++i) {
        const uint8_t g = i < given.size() ? static_cast<uint8_t>(given[i]) : 0;
        difference = difference | static_cast<uint8_t>(g ^ static_cast<uint8_t>(expected[i]));
    }
    return difference == 0;
}

bool JoinGuard::MayTry(const std::string& address, uint64_t nowMs) {
    const auto found = records_.find(address);
    if (found == records_.end()) {
        return true;
    }
    if (found->second.wrong >= kWrongCodesAllowed && nowMs >= found->second.waitUntilMs) {
        records_.erase(found);  // waited long enough: a fresh set of tries
        return true;
    }
    return found->second.wrong < kWrongCodesAllowed;
}

void JoinGuard::NoteWrongCode(const std::string& address, uint64_t nowMs) {
    if (records_.size() >= kMaxRecords) {
        // Many addresses guessing: forget those whose wait is over, then the oldest tries.
        std::erase_if(records_, [&](const auto& entry) { return entry.second.waitUntilMs <= nowMs; });
        if (records_.size() >= kMaxRecords) {
            records_.erase(records_.begin());
        }
    }
    Record& record = records_[address];
    if (++record.wrong >= kWrongCodesAllowed) {
        record.waitUntilMs = nowMs + kWrongCodeWaitMs;
    }
}

void JoinGuard::NoteRightCode(const std::string& address) {
    records_.erase(address);
}

}  // namespace lobby
