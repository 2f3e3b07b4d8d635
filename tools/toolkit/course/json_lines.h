#pragma once
// JSON reading that remembers where each value stands, so that a problem found after parsing can
// be reported with its line number.

#include <map>
#include <nlohmann/json.hpp>
#include <string>

namespace tools {

struct JsonDocument {
    nlohmann::json root;
    std::map<std::string, int> lines;  // JSON pointer ("/green/radius/0") -> 1-based line
};

// Parses text. On a syntax error returns false with error "line N: what is wrong".
bool ParseJsonWithLines(const std::string& text, JsonDocument& doc, std::string& error);

// The line of the value at pointer, or of its nearest enclosing value that has one (1 at worst).
int LineOf(const JsonDocument& doc, std::string pointer);

}  // namespace tools
