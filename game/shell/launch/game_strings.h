#pragma once
// The localised message texts and quick-chat texts, and the filling of their placeholders.

#include <cstdint>
#include <span>

#include "game/shell/launch/launch_config.h"

namespace shell {

// Game-string indices the shell itself uses.
enum GameStringIndex {
    kStringWaitingFirst = 30,
    kStringWaitingSecond = 31,
    kStringStartFileMissing = 33,
    kStringGameStringsMissing = 34,
    kStringQuickChatMissing = 35,
    kStringWordListMissing = 36,
    kStringWordListBadMagic = 37,
    kStringWordListBadCheck = 38,
    kStringChatBlocked = 39,
};

inline constexpr char kPlaceholderId[] = "{id}";
inline constexpr char kPlaceholderBallCount[] = "{ballcount}";
inline constexpr char kPlaceholderCount[] = "{count}";

// "GameString.ini": each line is an index and, from the line's sixth character on, the text. Only
// lines whose index is above the previous stored line's are taken, so the file lists the entries in
// ascending order; indices outside the table are ignored.
void ParseGameStrings(std::span<const uint8_t> bytes, GameStrings& strings);

// "ChatMessage.ini": the first 48 characters of each of the first eight lines.
void ParseQuickChat(std::span<const uint8_t> bytes, QuickChat& quickChat);

inline constexpr int kGameTextCapacity = 512;

struct GameText {
    char text[kGameTextCapacity] = {};
};

// The template with every occurrence of the placeholder replaced by value, in one pass: text that
// was put in is never searched again, so a player name that looks like a placeholder stays as it
// is. The result is cut at the record's size.
GameText ReplacePlaceholder(const char* text, const char* placeholder, const char* value);
GameText ReplacePlaceholder(const char* text, const char* placeholder, int32_t value);

}  // namespace shell
