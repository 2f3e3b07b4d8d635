#include "updater/line_rules.h"

namespace updater {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string UpperCopy(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = UpperAscii(c);
    }
    return out;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string LanguageFromOptionFile(std::string_view text) {
    std::string language;
    for (std::string_view line : SplitLines(text)) {
        if (line.size() >= 8 && UpperCopy(line.substr(0, 8)) == "LANGUAGE") {
            language = line.size() > 9 ? UpperCopy(line.substr(9, 3)) : std::string();
        }
    }
    return language;
}

MessageTable ParseMessageTable(std::string_view text) {
    MessageTable table;
    for (std::string_view line : SplitLines(text)) {
        if (TrimBlanks(line).empty()) {
            continue;
        }
        if (line.size() < 2 || !IsDigit(line[0]) || !IsDigit(line[1])) {
            continue;
        }
        size_t index = static_cast<size_t>((line[0] - '0') * 10 + (line[1] - '0'));
        if (table.size() < index + 1) {
            table.resize(index + 1);
        }
        table[index] = line.size() > 3 ? std::string(TrimBlanks(line.substr(3))) : std::string();
    }
    return table;
}

const std::string& MessageLine(const MessageTable& table, int index) {
    static const std::string kEmpty;
    if (index < 0 || static_cast<size_t>(index) >= table.size()) {
        return kEmpty;
    }
    return table[static_cast<size_t>(index)];
}

std::string VersionFromFile(std::string_view text) {
    std::string version;
    for (std::string_view line : SplitLines(text)) {
        std::string_view trimmed = TrimBlanks(line);
        if (!trimmed.empty()) {
            version = trimmed;
        }
    }
    return version;
}

}  // namespace updater
