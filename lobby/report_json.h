#pragma once
// The report messages clients send to their lobby (hole result, chat report, final scores, ball
// change, game end, lobby call), each turned into one line of JSON.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/code_page.h"

namespace lobby {

// One JSON line (without the line end) for a report packet or a line a player says (chat and
// announcements, with their text in UTF-8 from the match's code page); nothing for other packets.
// Bodies too short for their type give zeros for the missing fields and "truncated": true.
std::optional<std::string> ReportJson(const uint8_t* packet, size_t size,
                                      platform::CodePage codePage = platform::CodePage::Western1252);

// The players and total strokes of a final-scores line of ReportJson, for people reading the log:
// "Ann 48, Bob 50"; empty for any other line.
std::string FinalScoresText(const std::string& reportJson);

// One JSON line (without the line end) for something the lobby did to a client, e.g.
// {"event":"removed","name":"Cy","reason":"flooding","packets":120000}; texts are further string
// fields ("address").
std::string EventJson(const std::string& event, const std::string& name, const std::string& reason,
                      const std::vector<std::pair<std::string, uint64_t>>& counts = {},
                      const std::vector<std::pair<std::string, std::string>>& texts = {});

// The line a hosting Ravelin writes once it listens: {"event":"hosting","port":47615,"code":"..."}.
std::string HostingJson(uint16_t port, const std::string& code);

// A name as a JSON string with its quotes, for log lines: control characters and quotes escaped,
// bytes that are not UTF-8 replaced.
std::string QuotedName(const std::string& name);

}  // namespace lobby
