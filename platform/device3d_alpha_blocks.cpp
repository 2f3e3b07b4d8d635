// The map of blocks of a texture that hold a visible texel.

#include "platform/device3d_alpha_blocks.h"

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

}  // namespace platform::device_detail
