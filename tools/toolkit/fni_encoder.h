#pragma once
// Writes "FNIBMP" pictures: the 19-byte header, the palette and the run-length pixel stream. Runs
// alternate between skip runs (transparent pixels) and literal runs (palette indices), starting with
// a skip run; no run crosses the end of a row, and runs longer than 255 are split by an empty run of
// the other kind.

#include <cstdint>
#include <vector>

#include "tools/toolkit/paletted_image.h"

namespace tools {

std::vector<uint8_t> EncodeFniStream(const PalettedImage& image);
std::vector<uint8_t> EncodeFni(const PalettedImage& image);

}  // namespace tools
