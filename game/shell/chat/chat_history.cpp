#include "game/shell/chat/chat_history.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace shell {

namespace {

constexpr char kEscape = 0x1B;

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// The length of the escape sequence that starts at text (its ESC included): ESC "[" parameters and
// a final byte, or ESC and one more character.
size_t EscapeSequenceLength(const char* text) {
    size_t n = 1;
    if (text[n] == '[') {
        ++n;
        while (text[n] >= 0x20 && text[n] <= 0x3F) {
            ++n;
        }
        if (text[n] >= 0x40 && text[n] <= 0x7E) {
            ++n;
        }
        return n;
    }
    return text[n] != '\0' ? 2 : 1;
}

bool OnlyBlanks(const char* text) {
    for (; *text != '\0'; ++text) {
        if (*text != ' ') {
            return false;
        }
    }
    return true;
}

// The bytes of the first line of text: all of it when it fits the room, else up to and with its
// last blank within the room, else as many whole characters as fit.
size_t FirstLineLength(const char* text, size_t length, size_t room, bool doubleByteText) {
    if (length <= room) {
        return length;
    }
    const size_t fit = WholeCharacters(text, length, room, doubleByteText);
    for (size_t k = fit; k > 0; --k) {
        if (text[k - 1] == ' ') {
            return k;
        }
    }
    return fit;
}

}  // namespace

uint32_t ChatKindColour(ChatKind kind) {
    switch (kind) {
        case ChatKind::kSystem:
            return 0xFF0000;
        case ChatKind::kAnnouncement:
            return 0xFFFF00;
        case ChatKind::kChat:
            break;
    }
    return 0xFFFFFF;
}

size_t WholeCharacters(const char* text, size_t length, size_t limit, bool doubleByteText) {
    size_t end = 0;
    while (end < length) {
        const size_t width =
            doubleByteText && static_cast<unsigned char>(text[end]) >= 0x80 && end + 1 < length ? 2 : 1;
        if (end + width > limit) {
            break;
        }
        end += width;
    }
    return end;
}

void CleanChatText(const char* text, char* out, size_t capacity, bool doubleByteText) {
    if (capacity == 0) {
        return;
    }
    size_t n = 0;
    size_t i = 0;
    while (text[i] != '\0' && n + 1 < capacity) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == kEscape) {
            i += EscapeSequenceLength(text + i);
            continue;
        }
        if (IsControl(c)) {
            ++i;
            continue;
        }
        if (doubleByteText && c >= 0x80) {
            const unsigned char trail = static_cast<unsigned char>(text[i + 1]);
            if (trail == '\0' || IsControl(trail)) {
                i += 1;  // a lead byte without its second byte
                continue;
            }
            if (n + 2 >= capacity) {
                break;  // no room for the whole character
            }
            out[n++] = static_cast<char>(c);
            out[n++] = static_cast<char>(trail);
            i += 2;
            continue;
        }
        out[n++] = static_cast<char>(c);
        ++i;
    }
    out[n] = '\0';
}

int AddChatLine(ChatHistory& history, const char* name, const char* text, ChatKind kind, uint32_t nowMs,
                bool doubleByteText) {
    if (text == nullptr) {
        return 0;
    }
    std::string clean(std::strlen(text) + 1, '\0');
    CleanChatText(text, clean.data(), clean.size(), doubleByteText);
    clean.resize(std::strlen(clean.c_str()));
    if (clean.empty() || OnlyBlanks(clean.c_str())) {
        return 0;
    }
    char prefix[kChatLineField] = {};
    if (name != nullptr && name[0] != '\0') {
        char cleanName[kChatLineField / 2] = {};
        CleanChatText(name, cleanName, sizeof cleanName, doubleByteText);
        std::snprintf(prefix, sizeof prefix, "[%-*s] ", kChatNameWidth, cleanName);
    }
    const size_t prefixLength = std::strlen(prefix);
    const size_t room = kChatLineField - 1 - prefixLength;
    int added = 0;
    size_t start = 0;
    while (start < clean.size()) {
        const char* rest = clean.c_str() + start;
        const size_t keep = FirstLineLength(rest, clean.size() - start, room, doubleByteText);
        if (keep == 0) {
            break;  // no room at all (cannot happen with the name cut to half a line)
        }
        for (int i = kChatHistoryLines - 1; i > 0; --i) {
            history.lines[i] = history.lines[i - 1];
        }
        ChatLine& line = history.lines[0];
        line.arrivalMs = nowMs;
        line.colour = ChatKindColour(kind);
        std::snprintf(line.text, sizeof line.text, "%s%.*s", prefix, static_cast<int>(keep), rest);
        start += keep;
        ++added;
    }
    return added;
}

bool ExpireChatLines(ChatHistory& history, uint32_t nowMs) {
    bool emptied = false;
    for (ChatLine& line : history.lines) {
        if (line.text[0] != '\0' &&
            static_cast<int32_t>(nowMs - (line.arrivalMs + kChatLineLifetimeMs)) > 0) {
            line.text[0] = '\0';
            emptied = true;
        }
    }
    return emptied;
}

}  // namespace shell
