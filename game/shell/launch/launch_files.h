#pragma once
// Parsers of the option file, the match file and the swing-timing and hole-settings files. Each
// works on the file's bytes; reading the files is the launch loader's business.

#include <cstdint>
#include <span>

#include "game/shell/launch/launch_config.h"
#include "game/shell/launch/start_tokens.h"

namespace shell {

// "Option.ini": one key and one value per line; LANGUAGE and ACC3DOPT are read, others ignored.
void ParseOptionFile(std::span<const uint8_t> bytes, OptionSettings& options);

// One tokenised line of "Start.ini": token 0 is the key, tokens 1 and 2 its values. Unknown keys,
// player slots outside 0-3 and character types outside 0-7 are ignored.
void ApplyStartLine(const StartTokens& tokens, MatchConfig& match, PlayerInfo (&players)[kPlayerSlots]);

// "Start.ini" line by line; a later line overrides an earlier one.
void ParseStartFile(std::span<const uint8_t> bytes, MatchConfig& match, PlayerInfo (&players)[kPlayerSlots]);

// "GameInfo.ini": a header, then 64-byte records; FRAMECNT records fill the table. Returns false
// (leaving the table as it was) when the header is wrong.
bool ParseSwingTiming(std::span<const uint8_t> bytes, SwingTiming& timing);

// The step count for a sex flag, character type and swing kind; 0 for indices outside the table.
int32_t SwingSteps(const SwingTiming& timing, int sex, int characterType, int swingKind);

// "Hole.ini": 58 bytes starting with "FNH". Returns false, leaving the settings as they were, when
// the magic is wrong or the file is shorter than that.
bool ParseHoleSettings(std::span<const uint8_t> bytes, HoleSettings& hole);

// The background loop of a hole on the course with its own per-hole sounds (course 6), or nullptr
// when the hole keeps the loop that plays.
const char* HoleBackgroundSound(int courseCode, int hole);

}  // namespace shell
