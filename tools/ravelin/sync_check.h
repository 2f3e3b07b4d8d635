#pragma once
// Whether the clients of a match agree: every player's client writes a state log (one line per
// applied shot result and per hole end, floats as exact bits); at the end of the match the logs are
// compared line by line.

#include <string>
#include <vector>

namespace tools {

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

// One JSON line for the verdict, e.g. {"type":"sync","agree":true,"clients":4,"lines":120}.
std::string SyncVerdictJson(const SyncVerdict& verdict, size_t clients);

}  // namespace tools
