#include "lobby/report_json.h"

#include <nlohmann/json.hpp>

#include "game/shell/lobby/lobby_messages.h"
#include "game/shell/lobby/lobby_packet.h"
#include "platform/le_bytes.h"

namespace lobby {

namespace {

using nlohmann::json;

// A name field in UTF-8 from the match's code page.
std::string ReadName(platform::LeReader& r, size_t field, platform::CodePage codePage) {
    char name[128] = {};
    r.Name(name, field);
    return platform::CodePageToUtf8(name, codePage);
}

// A text of the body (up to its NUL or its end) in UTF-8.
std::string ReadText(platform::LeReader& r, size_t length, platform::CodePage codePage) {
    std::string bytes;
    for (size_t i = 0; i < length; ++i) {
        bytes += static_cast<char>(r.U8());
    }
    bytes.resize(strnlen(bytes.c_str(), bytes.size()));
    return platform::CodePageToUtf8(bytes, codePage);
}

// Fills the fields of one report type from its body; false for types that are not reports.
bool ReadReport(uint32_t type, platform::LeReader& r, size_t bodyLength, platform::CodePage codePage,
                json& j) {
    switch (type) {
        case shell::kMsgChat:
        case shell::kMsgNotice:
        case shell::kMsgQuietNotice:
            j["text"] = ReadText(r, bodyLength, codePage);
            return true;
        case shell::kMsgHoleReport:
            j["hole"] = r.U8();
            j["strokes"] = r.U8();
            return true;
        case shell::kMsgChatReport: {
            json lines = json::array();
            for (int i = 0; i < shell::kChatReportLines; ++i) {
                lines.push_back(ReadText(r, shell::kChatReportLineSize, codePage));
            }
            j["lines"] = lines;
            return true;
        }
        case shell::kMsgFinalScores: {
            j["players"] = r.U8();
            json scores = json::array();
            for (int i = 0; i < 4; ++i) {
                json entry;
                entry["name"] = ReadName(r, shell::kPlayerNameSize, codePage);
                entry["present"] = r.U8();
                entry["strokes"] = r.U16();
                scores.push_back(entry);
            }
            j["scores"] = scores;
            return true;
        }
        case shell::kMsgBallChange:
            j["player"] = ReadName(r, shell::kPlayerNameSize, codePage);
            j["change"] = r.I32();
            j["reason"] = r.U8();
            return true;
        case shell::kMsgGameEnd:
            j["text"] = ReadName(r, 8, codePage);
            return true;
        case shell::kMsgCallLobby:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::optional<std::string> ReportJson(const uint8_t* packet, size_t size, platform::CodePage codePage) {
    shell::LobbyHeader header;
    if (!shell::ReadLobbyHeader(packet, size, header)) {
        return std::nullopt;
    }
    json j;
    j["type"] = header.type;
    j["from"] = platform::CodePageToUtf8(header.sender, codePage);
    const size_t body = shell::kLobbyHeaderSize + 4;
    platform::LeReader r(packet + body, header.payloadLength - 4);
    if (!ReadReport(header.type, r, header.payloadLength - 4, codePage, j)) {
        return std::nullopt;
    }
    if (r.Overran()) {
        j["truncated"] = true;
    }
    // Texts and names were converted from the code page; anything still not UTF-8 is replaced
    // rather than refused.
    return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string FinalScoresText(const std::string& reportJson) {
    const json j = json::parse(reportJson, nullptr, false);
    if (!j.is_object() || j.value("type", 0) != shell::kMsgFinalScores || !j.contains("scores")) {
        return {};
    }
    std::string text;
    for (const json& entry : j["scores"]) {
        if (entry.value("present", 0) != 1) {
            continue;
        }
        text += (text.empty() ? "" : ", ") + entry.value("name", std::string()) + " " +
                std::to_string(entry.value("strokes", 0));
    }
    return text;
}

std::string EventJson(const std::string& event, const std::string& name, const std::string& reason,
                      const std::vector<std::pair<std::string, uint64_t>>& counts,
                      const std::vector<std::pair<std::string, std::string>>& texts) {
    json j;
    j["event"] = event;
    j["name"] = name;
    j["reason"] = reason;
    for (const auto& [key, value] : texts) {
        j[key] = value;
    }
    for (const auto& [key, value] : counts) {
        j[key] = value;
    }
    return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string HostingJson(uint16_t port, const std::string& code) {
    json j;
    j["event"] = "hosting";
    j["port"] = port;
    j["code"] = code;
    return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string QuotedName(const std::string& name) {
    return json(name).dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace lobby
