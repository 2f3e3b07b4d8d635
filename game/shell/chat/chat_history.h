#pragma once
// The chat history shown over the play screen: the 15 newest lines, each with its arrival time and
// the colour of its kind. Lines come from players, from the lobby and from the match itself.

#include <cstddef>
#include <cstdint>

namespace shell {

inline constexpr int kChatHistoryLines = 15;
inline constexpr size_t kChatLineField = 74;  // bytes of a line's text, its NUL included
inline constexpr uint32_t kChatLineLifetimeMs = 20000;
// The name in front of a player's line: "[" + the name padded to 12 + "] ".
inline constexpr int kChatNameWidth = 12;

enum class ChatKind : uint8_t {
    kChat,          // a player's line, white
    kSystem,        // the game's own system line, red
    kAnnouncement,  // an announcement, yellow
};

struct ChatLine {
    uint32_t arrivalMs = 0;
    char text[kChatLineField] = {};
    uint32_t colour = 0xFFFFFF;
};

struct ChatHistory {
    ChatLine lines[kChatHistoryLines];  // line 0 is the newest
};

uint32_t ChatKindColour(ChatKind kind);

// Adds a text as one or more lines, the newest holding its end. The text is cleaned first (control
// characters dropped, see CleanChatText). A line keeps as much as fits its field after the name: a
// text too long is broken after its last blank within that room, or cut at the room when it has no
// blank there; a two-byte character (doubleByteText) is never cut in half. name may be nullptr or
// empty for a line without a name. Returns the number of lines added (0 for an empty text).
int AddChatLine(ChatHistory& history, const char* name, const char* text, ChatKind kind, uint32_t nowMs,
                bool doubleByteText);

// Empties every line older than the lifetime. Returns true when a line was emptied.
bool ExpireChatLines(ChatHistory& history, uint32_t nowMs);

// Copies text into out (capacity bytes, NUL-terminated) without control characters (below 32 and
// 127) and without the escape sequences they start; with doubleByteText a lead byte at the end
// whose second byte is missing is dropped too.
void CleanChatText(const char* text, char* out, size_t capacity, bool doubleByteText);

// The length of the longest start of text (length bytes) that ends on a character boundary and is
// at most limit bytes long.
size_t WholeCharacters(const char* text, size_t length, size_t limit, bool doubleByteText);

}  // namespace shell
