#pragma once
// Which square blocks of a texture hold a texel that is not fully transparent. A shader that drops
// transparent pixels (the alpha test) can skip fetching and mixing the texels of a group of pixels
// whose every sample lies in blocks without one: every such sample mixes to alpha 0.

#include <algorithm>
#include <cstdint>
#include <vector>

namespace platform::device_detail {

// Blocks are kAlphaBlockSide x kAlphaBlockSide texels.
inline constexpr int kAlphaBlockShift = 3;
inline constexpr int kAlphaBlockSide = 1 << kAlphaBlockShift;

// One byte per block, row by row: 1 where some texel of the block has alpha above 0. Empty for
// textures whose sides are not powers of two of at least a block (wrapping then is no mask).
std::vector<uint8_t> FindAlphaBlocks(const std::vector<uint32_t>& texels, int width, int height);

// The blocks of a texture whose sides are powers of two, read with wrapping texel coordinates.
class AlphaBlockMap {
  public:
    AlphaBlockMap() = default;
    // blocks from FindAlphaBlocks for a width x height texture; nullptr: nothing is known.
    AlphaBlockMap(const uint8_t* blocks, int width, int height)
        : blocks_(blocks),
          columnMask_((width >> kAlphaBlockShift) - 1),
          rowMask_((height >> kAlphaBlockShift) - 1),
          rowShift_(blocks == nullptr ? 0 : __builtin_ctz(static_cast<unsigned>(width)) - kAlphaBlockShift) {}

    bool Known() const { return blocks_ != nullptr; }

    // Whether the 2 x 2 texel quads at count points stepped linearly from (u, v) by (du, dv), in
    // 16.16 fixed-point texels that wrap around the texture, all lie in blocks without a visible
    // texel. False where that is not known (also when the points cross more than two blocks).
    bool AllClear(int32_t u, int32_t v, int32_t du, int32_t dv, int count) const {
        int columns[2], rows[2];
        return Known() && Blocks(u, du, count, columnMask_, columns) &&
               Blocks(v, dv, count, rowMask_, rows) &&
               !(At(columns[0], rows[0]) | At(columns[1], rows[0]) | At(columns[0], rows[1]) |
                 At(columns[1], rows[1]));
    }

    // Whether texels [left, right] x [top, bottom] (wrapped into the texture) all lie in blocks
    // without a visible texel. False where that is not known, also when the box covers more than
    // kMaxBlocksLooked blocks.
    bool BoxClear(int64_t left, int64_t right, int64_t top, int64_t bottom) const;
    static constexpr int64_t kMaxBlocksLooked = 256;

  private:
    // The first and last block (wrapped) that the texels start >> 16 .. (last point >> 16) + 1 touch
    // along one axis; false if they span more than two blocks.
    static bool Blocks(int32_t start, int32_t step, int count, int mask, int (&out)[2]) {
        const int64_t first = start, last = first + int64_t{step} * (count - 1);
        const int64_t low = std::min(first, last) >> 16, high = (std::max(first, last) >> 16) + 1;
        const int64_t lowBlock = low >> kAlphaBlockShift, highBlock = high >> kAlphaBlockShift;
        out[0] = static_cast<int>(lowBlock) & mask;
        out[1] = static_cast<int>(highBlock) & mask;
        return highBlock - lowBlock <= 1;
    }
    uint8_t At(int column, int row) const { return blocks_[(row << rowShift_) + column]; }

    const uint8_t* blocks_ = nullptr;
    int columnMask_ = 0, rowMask_ = 0, rowShift_ = 0;
};

}  // namespace platform::device_detail
