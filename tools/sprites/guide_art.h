#pragma once
// The beginner guides: per language three framed notes, their text from the guide recipe.

#include <string>

namespace sprites {

inline constexpr int kGuideWidth = 126;
inline constexpr int kGuideHeight = 110;

// Writes IMAGE_DIR/<language>/BeginerGuide0..2.fni for every language of the recipe.
bool MakeGuides(const std::string& recipePath, const std::string& outDir, std::string& error);

}  // namespace sprites
