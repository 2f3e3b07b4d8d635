#pragma once
// The report messages clients send to their lobby (hole result, chat report, final scores, ball
// change, game end, lobby call), each turned into one line of JSON.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tools {

// One JSON line (without the line end) for a report packet; nothing for other packets. Bodies too
// short for their type give zeros for the missing fields and "truncated": true.
std::optional<std::string> ReportJson(const uint8_t* packet, size_t size);

}  // namespace tools
