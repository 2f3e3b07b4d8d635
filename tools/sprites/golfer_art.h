#pragma once
// The golfer pictures of one gender: per character the five "Small" address sprites and the five
// swing sheets (frames 320 pixels high, stacked top to bottom).

#include <string>

namespace sprites {

inline constexpr int kSmallWidth = 80;
inline constexpr int kSmallHeight = 160;
inline constexpr int kSwingFrameWidth = 200;
inline constexpr int kSwingFrameHeight = 320;

// gender "M" or "W"; timingPath: the swing timing source (steps before the ball moves, by sex,
// character and swing kind), which places each sheet's impact frame.
bool MakeGolfers(const std::string& charactersPath, const std::string& timingPath, const std::string& gender,
                 const std::string& outDir, std::string& error);

}  // namespace sprites
