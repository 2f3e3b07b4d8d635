#pragma once
// Writers of the game's small data files: the scrambled chat word list "Abuse.fns", the swing-timing
// table "GameInfo.ini", the per-hole settings "Hole.ini" and the numbered text files.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tools {

// Each word is stored with one line-end character after it (the reader drops a word's last
// character), rotated right by a per-word key so that the file does not show the words as text.
std::vector<uint8_t> EncodeWordList(const std::vector<std::string>& words);

inline constexpr int kSwingSexes = 2;
inline constexpr int kSwingCharacters = 8;
inline constexpr int kSwingKinds = 5;
struct SwingTiming {
    int32_t steps[kSwingSexes][kSwingCharacters][kSwingKinds] = {};
};
// A "FRAMECNT" record for every sex flag, character type and swing kind.
std::vector<uint8_t> EncodeGameInfo(const SwingTiming& timing);

struct HoleSettingsFile {
    std::string name;  // at most 16 characters
    uint16_t length = 0;
    float teeX = 0, teeZ = 0;
    float aimX = 0, aimZ = 0;
    float pinX = 0, pinZ = 0;
    uint8_t par = 0;
};
inline constexpr size_t kHoleNameMax = 16;
inline constexpr size_t kHoleSettingsSize = 58;
std::vector<uint8_t> EncodeHoleSettings(const HoleSettingsFile& hole);

// Lines made of an index printed with the given width, one blank and the text ("0007 text").
std::string FormatIndexedLines(const std::vector<std::pair<int, std::string>>& entries, int indexWidth);

}  // namespace tools
