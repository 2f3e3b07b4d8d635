#pragma once
// An "FNIBMP" picture: 8-bit palette indices, run-length coded with one transparent index while
// compressed, or width x height index bytes after expansion. A record never loaded (or freed) is
// empty: 0 x 0 with no buffers.

#include <cstdint>
#include <vector>

namespace present {

inline constexpr int kFniHeaderSize = 19;

struct FniImage {
    char magic[6] = {};
    uint16_t unread = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t transparentIndex = 0;
    uint16_t paletteCount = 0;
    uint32_t dataSize = 0;
    std::vector<uint8_t> palette;  // paletteCount entries of blue, green, red, reserved
    std::vector<uint8_t> pixels;   // compressed: the run stream; expanded: width x height indices
    uint32_t compressed = 0;
};

}  // namespace present
