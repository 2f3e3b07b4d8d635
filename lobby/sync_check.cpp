#include "lobby/sync_check.h"

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>

namespace lobby {

namespace {

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

bool Differ(SyncVerdict& v, size_t client, size_t line, const std::string& expected,
            const std::string& found) {
    v.agree = false;
    v.client = client;
    v.line = line + 1;
    v.expected = expected;
    v.found = found;
    return false;
}

// other[from..] must equal reference[at..] to the end of both.
bool Tail(SyncVerdict& v, size_t client, const std::vector<std::string>& reference,
          const std::vector<std::string>& other, size_t from, size_t at) {
    for (; from < other.size() || at < reference.size(); ++from, ++at) {
        const std::string expected = at < reference.size() ? reference[at] : std::string();
        const std::string found = from < other.size() ? other[from] : std::string();
        if (at >= reference.size() || from >= other.size() || expected != found) {
            return Differ(v, client, from, expected, found);
        }
    }
    return true;
}

bool Agrees(SyncVerdict& v, size_t client, LogRole role, const std::vector<std::string>& reference,
            const std::vector<std::string>& other) {
    switch (role) {
        case LogRole::kFinisher:
            return Tail(v, client, reference, other, 0, 0);
        case LogRole::kLeaver:
            return other.size() <= reference.size()
                       ? Tail(v, client,
                              std::vector<std::string>(reference.begin(), reference.begin() + other.size()),
                              other, 0, 0)
                       : Differ(v, client, reference.size(), std::string(), other[reference.size()]);
        case LogRole::kObserver: {
            if (other.empty()) {
                return true;  // it joined after the last shot
            }
            const size_t from = other.size() >= 2 ? 1 : 0;
            const auto at = std::find(reference.begin(), reference.end(), other[from]);
            if (at == reference.end()) {
                return Differ(v, client, from, std::string(), other[from]);
            }
            return Tail(v, client, reference, other, from, static_cast<size_t>(at - reference.begin()));
        }
    }
    return false;
}

}  // namespace

SyncVerdict CompareClientLogs(const std::vector<StateLogSource>& sources) {
    SyncVerdict v;
    std::vector<std::vector<std::string>> logs;
    size_t referenceIndex = sources.size();
    for (size_t i = 0; i < sources.size(); ++i) {
        logs.push_back(ReadLines(sources[i].path));
        const bool finisher = sources[i].role == LogRole::kFinisher;
        const bool leaver = sources[i].role == LogRole::kLeaver;
        const bool haveFinisher =
            referenceIndex < sources.size() && sources[referenceIndex].role == LogRole::kFinisher;
        if ((finisher && !haveFinisher) ||
            (leaver && !haveFinisher &&
             (referenceIndex == sources.size() || logs[i].size() > logs[referenceIndex].size()))) {
            referenceIndex = i;
        }
    }
    if (referenceIndex == sources.size() || logs[referenceIndex].empty()) {
        v.line = 1;
        return v;
    }
    const std::vector<std::string>& reference = logs[referenceIndex];
    v.lines = reference.size();
    for (size_t c = 0; c < sources.size(); ++c) {
        if (c != referenceIndex && !Agrees(v, c, sources[c].role, reference, logs[c])) {
            return v;
        }
    }
    v.agree = true;
    return v;
}

SyncVerdict CompareStateLogs(const std::vector<std::string>& paths) {
    std::vector<StateLogSource> sources;
    for (const std::string& path : paths) {
        sources.push_back({path, LogRole::kFinisher});
    }
    return CompareClientLogs(sources);
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

}  // namespace lobby
