// The map of blocks of a texture that hold a visible texel.

#include "platform/device3d/alpha_blocks.h"

#include <algorithm>
#include <cstddef>

namespace platform::device_detail {

std::vector<uint8_t> FindAlphaBlocks(const std::vector<uint32_t>& texels, int width, int height) {
    if (width < kAlphaBlockSide || height < kAlphaBlockSide || (width & (width - 1)) != 0 ||
        (height & (height - 1)) != 0 ||
        texels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
        return {};
    }
    const int columns = width >> kAlphaBlockShift;
    std::vector<uint8_t> blocks(
        static_cast<size_t>(columns) * static_cast<size_t>(height >> kAlphaBlockShift), 0);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = texels.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        uint8_t* blockRow =
            blocks.data() + static_cast<size_t>(y >> kAlphaBlockShift) * static_cast<size_t>(columns);
        for (int x = 0; x < width; ++x) {
            if ((row[x] >> 24) != 0) {
                blockRow[x >> kAlphaBlockShift] = 1;
            }
        }
    }
    return blocks;
}

bool AlphaBlockMap::BoxClear(int64_t left, int64_t right, int64_t top, int64_t bottom) const {
    if (!Known() || left > right || top > bottom) {
        return false;
    }
    // Blocks counted from the first one the box touches, each axis at most once around.
    const int64_t firstColumn = left >> kAlphaBlockShift, firstRow = top >> kAlphaBlockShift;
    const int64_t columns = std::min<int64_t>((right >> kAlphaBlockShift) - firstColumn + 1, columnMask_ + 1);
    const int64_t rows = std::min<int64_t>((bottom >> kAlphaBlockShift) - firstRow + 1, rowMask_ + 1);
    if (columns * rows > kMaxBlocksLooked) {
        return false;
    }
    for (int64_t r = 0; r < rows; ++r) {
        const int row = static_cast<int>((firstRow + r) & rowMask_);
        for (int64_t c = 0; c < columns; ++c) {
            if (At(static_cast<int>((firstColumn + c) & columnMask_), row) != 0) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace platform::device_detail
