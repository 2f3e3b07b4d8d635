#include "game/shell/launch/game_strings.h"

#include <cstdio>
#include <cstring>

#include "game/shell/launch/text_lines.h"

namespace shell {

namespace {

constexpr size_t kTextOffset = 5;  // the text starts at the line's sixth character

bool ReadIndex(const char* line, int32_t& index) {
    while (*line == ' ' || (*line >= '\t' && *line <= '\r')) {
        ++line;
    }
    if (*line == '\0') {
        return false;
    }
    index = ReadDecimal(line);
    return true;
}

}  // namespace

void ParseGameStrings(std::span<const uint8_t> bytes, GameStrings& strings) {
    TextLines lines{bytes};
    char line[301];  // lines of at most 300 characters
    int32_t previous = -1;
    while (NextLine(lines, line, sizeof(line))) {
        int32_t index = 0;
        if (!ReadIndex(line, index) || index <= previous || index >= kGameStringCount) {
            continue;
        }
        previous = index;
        const char* text = std::strlen(line) > kTextOffset ? line + kTextOffset : "";
        CopyCut(strings.text[index], kGameStringCapacity, text);
        DropLineEnd(strings.text[index]);
    }
}

void ParseQuickChat(std::span<const uint8_t> bytes, QuickChat& quickChat) {
    TextLines lines{bytes};
    char line[256];
    for (int i = 0; i < kQuickChatCount && NextLine(lines, line, sizeof(line)); ++i) {
        CopyCut(quickChat.text[i], kQuickChatCapacity, line);
        DropLineEnd(quickChat.text[i]);
        // A line longer than the buffer continues in the next piece; skip that rest.
        while (std::strchr(line, '\n') == nullptr && NextLine(lines, line, sizeof(line))) {
        }
    }
}

GameText ReplacePlaceholder(const char* text, const char* placeholder, const char* value) {
    GameText result;
    size_t placeholderLength = std::strlen(placeholder);
    size_t valueLength = std::strlen(value);
    size_t written = 0;
    auto put = [&](const char* from, size_t length) {
        size_t room = kGameTextCapacity - 1 - written;
        length = length < room ? length : room;
        std::memcpy(result.text + written, from, length);
        written += length;
    };
    const char* rest = text;
    while (placeholderLength > 0) {
        const char* found = std::strstr(rest, placeholder);
        if (found == nullptr) {
            break;
        }
        put(rest, static_cast<size_t>(found - rest));
        put(value, valueLength);
        rest = found + placeholderLength;
    }
    put(rest, std::strlen(rest));
    result.text[written] = '\0';
    return result;
}

GameText ReplacePlaceholder(const char* text, const char* placeholder, int32_t value) {
    char number[16];
    std::snprintf(number, sizeof(number), "%d", static_cast<int>(value));
    return ReplacePlaceholder(text, placeholder, number);
}

}  // namespace shell
