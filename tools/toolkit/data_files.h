#pragma once
// Writers of the game's small data files: the scrambled chat word list "Abuse.fns", the swing-timing
// table "GameInfo.ini", the per-hole settings "Hole.ini" and the numbered text files.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "game/shell/launch/launch_config.h"

namespace tools {

// Each word is stored with one line-end character after it (the reader drops a word's last
// character), rotated right by a per-word key so that the file does not show the words as text.
std::vector<uint8_t> EncodeWordList(const std::vector<std::string>& words);

// A "FRAMECNT" record for every sex flag, character type and swing kind.
std::vector<uint8_t> EncodeGameInfo(const shell::SwingTiming& timing);

// The file holds the name (at most 16 characters; longer names are cut), the length, the three
// points and the par; the length's text and float forms are the reader's business.
inline constexpr size_t kHoleNameMax = 16;
inline constexpr size_t kHoleSettingsSize = 58;
std::vector<uint8_t> EncodeHoleSettings(const shell::HoleSettings& hole);

// Lines made of an index printed with the given width, one blank and the text ("0007 text").
std::string FormatIndexedLines(const std::vector<std::pair<int, std::string>>& entries, int indexWidth);

}  // namespace tools
