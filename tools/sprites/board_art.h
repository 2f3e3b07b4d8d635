#pragma once
// The scoreboard's header: the panel the hole, course and mode titles are written on, in the HUD's
// navy and gold, with a small green and flag at its left end.

#include <string>

namespace sprites {

inline constexpr int kHeaderWidth = 420;
inline constexpr int kHeaderHeight = 56;

bool MakeScoreHeader(const std::string& outDir, std::string& error);

}  // namespace sprites
