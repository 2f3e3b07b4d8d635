#pragma once
// A picture reduced to at most 256 palette colours, one of which is the transparent index.

#include <cstdint>
#include <vector>

#include "tools/toolkit/rgba_image.h"

namespace tools {

struct PalettedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> palette;  // 4 bytes per entry: blue, green, red, reserved (0)
    std::vector<uint8_t> indices;  // width x height, rows top to bottom
    uint8_t transparentIndex = 0;
};

// The picture as RGBA: the transparent index (and any index beyond the palette) becomes alpha 0.
RgbaImage PalettedToRgba(const PalettedImage& image);

inline int PaletteCount(const PalettedImage& image) {
    return static_cast<int>(image.palette.size() / 4);
}

}  // namespace tools
