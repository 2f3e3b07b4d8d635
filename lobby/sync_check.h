#pragma once
// Whether the clients of a match agree: every player's client writes a state log (one line per
// applied shot result and per hole end, floats as exact bits); at the end of the match the logs are
// compared line by line.

#include <string>
#include <vector>

namespace lobby {

struct SyncVerdict {
    bool agree = false;
    size_t lines = 0;      // lines compared (of the first log)
    size_t line = 0;       // 1-based line of the first difference
    size_t client = 0;     // the client whose log differs from the first one's
    std::string expected;  // the first client's line ("" when its log ended first)
    std::string found;     // the other client's line ("" when its log ended first)
};

// Compares the logs (the first is the reference). A missing or empty first log does not agree.
SyncVerdict CompareStateLogs(const std::vector<std::string>& paths);

// How a client's log is held against the others.
enum class LogRole {
    kFinisher,  // played to the end: its log equals the reference
    kLeaver,    // left during the match: its log is the start of the reference
    kObserver,  // joined late: from its second line on (its first shot may have been under way when
                // it joined) its log is the end of the reference
};

struct StateLogSource {
    std::string path;
    LogRole role = LogRole::kFinisher;
};

// The reference is the first finisher's log, or without finishers the longest leaver's. client in
// the verdict is the index into sources.
SyncVerdict CompareClientLogs(const std::vector<StateLogSource>& sources);

// One JSON line for the verdict, e.g. {"type":"sync","agree":true,"clients":4,"lines":120}.
std::string SyncVerdictJson(const SyncVerdict& verdict, size_t clients);

}  // namespace lobby
