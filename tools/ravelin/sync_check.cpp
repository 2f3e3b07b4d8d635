#include "tools/ravelin/sync_check.h"

#include <fstream>
#include <nlohmann/json.hpp>

namespace tools {

namespace {

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

SyncVerdict CompareStateLogs(const std::vector<std::string>& paths) {
    SyncVerdict v;
    if (paths.empty()) {
        return v;
    }
    const std::vector<std::string> reference = ReadLines(paths[0]);
    v.lines = reference.size();
    if (reference.empty()) {
        v.line = 1;
        return v;
    }
    for (size_t c = 1; c < paths.size(); ++c) {
        const std::vector<std::string> other = ReadLines(paths[c]);
        const size_t n = std::max(reference.size(), other.size());
        for (size_t i = 0; i < n; ++i) {
            const std::string expected = i < reference.size() ? reference[i] : std::string();
            const std::string found = i < other.size() ? other[i] : std::string();
            if (i >= reference.size() || i >= other.size() || expected != found) {
                v.line = i + 1;
                v.client = c;
                v.expected = expected;
                v.found = found;
                return v;
            }
        }
    }
    v.agree = true;
    return v;
}

std::string SyncVerdictJson(const SyncVerdict& verdict, size_t clients) {
    nlohmann::json j;
    j["type"] = "sync";
    j["agree"] = verdict.agree;
    j["clients"] = clients;
    j["lines"] = verdict.lines;
    if (!verdict.agree) {
        j["line"] = verdict.line;
        j["client"] = verdict.client;
        j["expected"] = verdict.expected;
        j["found"] = verdict.found;
    }
    return j.dump();
}

}  // namespace tools
