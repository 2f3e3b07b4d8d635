#include "game/shell/launch/text_lines.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace shell {

bool NextLine(TextLines& lines, char* buffer, size_t capacity) {
    if (lines.position >= lines.bytes.size()) {
        return false;
    }
    size_t written = 0;
    while (written + 1 < capacity && lines.position < lines.bytes.size()) {
        auto byte = static_cast<char>(lines.bytes[lines.position]);
        bool crlf = byte == '\r' && lines.position + 1 < lines.bytes.size() &&
                    lines.bytes[lines.position + 1] == '\n';
        ++lines.position;
        if (crlf) {
            continue;
        }
        buffer[written++] = byte;
        if (byte == '\n') {
            break;
        }
    }
    buffer[written] = '\0';
    return true;
}

void DropLineEnd(char* text) {
    size_t length = std::strlen(text);
    if (length > 0 && static_cast<unsigned char>(text[length - 1]) < 32) {
        text[length - 1] = '\0';
    }
}

void CopyCut(char* field, size_t capacity, const char* text) {
    size_t length = strnlen(text, capacity - 1);
    std::memcpy(field, text, length);
    field[length] = '\0';
}

int32_t ReadDecimal(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) {
        ++text;
    }
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') {
        ++text;
    }
    int64_t value = 0;
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    while (*text >= '0' && *text <= '9') {
        value = std::min<int64_t>(value * 10 + (*text - '0'), kLimit);
        ++text;
    }
    if (negative) {
        return static_cast<int32_t>(-value);
    }
    return static_cast<int32_t>(std::min<int64_t>(value, std::numeric_limits<int32_t>::max()));
}

}  // namespace shell
