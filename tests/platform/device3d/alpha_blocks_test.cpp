#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/device3d.h"
#include "platform/device3d/alpha_blocks.h"
#include "platform/device3d/pipeline.h"
#include "platform/draw_surface.h"

namespace platform::device_detail {
namespace {

// A transparent texture with visible texels at the given places.
std::vector<uint32_t> TransparentWith(int width, int height, std::vector<std::pair<int, int>> visible) {
    std::vector<uint32_t> texels(static_cast<size_t>(width * height), 0x00FFFFFFu);
    for (const auto& [x, y] : visible) {
        texels[static_cast<size_t>(y * width + x)] = 0x01000000u;
    }
    return texels;
}

constexpr int32_t kTexel = 1 << 16;

TEST(AlphaBlocks, MarkTheBlocksWithAVisibleTexelOfPowerOfTwoTexturesOnly) {
    const std::vector<uint8_t> blocks = FindAlphaBlocks(TransparentWith(16, 16, {{9, 7}, {0, 15}}), 16, 16);
    EXPECT_EQ(blocks, (std::vector<uint8_t>{0, 1, 1, 0}));
    EXPECT_TRUE(FindAlphaBlocks(TransparentWith(12, 8, {}), 12, 8).empty());
    EXPECT_TRUE(FindAlphaBlocks(TransparentWith(16, 4, {}), 16, 4).empty());
    EXPECT_TRUE(FindAlphaBlocks(TransparentWith(16, 8, {}), 16, 16).empty());  // texels missing
}

// Only the lower right block of a 16 x 16 texture holds a visible texel.
TEST(AlphaBlocks, PointsAreClearOnlyWhereNoQuadTouchesAVisibleBlock) {
    const std::vector<uint8_t> blocks = FindAlphaBlocks(TransparentWith(16, 16, {{15, 15}}), 16, 16);
    const AlphaBlockMap map(blocks.data(), 16, 16);
    EXPECT_TRUE(map.AllClear(0, 0, kTexel / 2, 0, 8));                      // texels 0..4
    EXPECT_TRUE(map.AllClear(6 * kTexel, 0, kTexel / 2, 0, 8));             // across two clear blocks
    EXPECT_FALSE(map.AllClear(6 * kTexel, 14 * kTexel, kTexel / 2, 0, 8));  // into the visible one
    // A quad's right and lower texels count: one at (7, 7) reaches into the visible block.
    EXPECT_FALSE(map.AllClear(7 * kTexel, 7 * kTexel, 0, 0, 1));
    // Quads at the last column and row wrap to the first: still clear in the top row ...
    EXPECT_TRUE(map.AllClear(15 * kTexel, 7 * kTexel - 1, 0, 0, 8));
    // ... but not where the pixels step backwards across the left edge into the visible block.
    EXPECT_FALSE(map.AllClear(2 * kTexel, 15 * kTexel, -kTexel, 0, 8));
    EXPECT_TRUE(map.AllClear(2 * kTexel, 3 * kTexel, -kTexel, 0, 8));
    // Over more than two blocks nothing is known, nor without blocks.
    EXPECT_FALSE(map.AllClear(0, 0, 3 * kTexel, 0, 8));
    EXPECT_FALSE(AlphaBlockMap(nullptr, 16, 16).AllClear(0, 0, 0, 0, 8));
}

// Writes a 1-5-5-5 texture: opaque white at the given texel, transparent elsewhere.
void FillWithOneOpaqueTexel(DeviceTexture& t, int opaqueX, int opaqueY) {
    LockedPixels px;
    ASSERT_EQ(LockSurface(*t.surface, px), kSurfaceOk);
    for (int y = 0; y < px.height; ++y) {
        for (int x = 0; x < px.width; ++x) {
            const uint16_t v = x == opaqueX && y == opaqueY ? 0xFFFF : 0x7FFF;
            std::memcpy(px.bits + y * px.pitch + x * 2, &v, 2);
        }
    }
    UnlockSurface(*t.surface);
}

// The samplers of a texture and of its smaller copies carry each their own level's blocks, renewed
// when the surface changes; copies smaller than a block carry none.
TEST(AlphaBlocks, SamplersCarryTheBlocksOfTheirOwnLevel) {
    DeviceTexture* tex = CreateDeviceTexture(32, 32, kArgb1555);
    ASSERT_NE(tex, nullptr);
    FillWithOneOpaqueTexel(*tex, 31, 0);
    // Whether the quad at texel (x, y) of the sampler's level is clear.
    const auto clearAt = [](const Sampler& s, int x, int y) {
        return s.alphaBlocks.AllClear(x * kTexel, y * kTexel, 0, 0, 1);
    };
    Sampler full;
    ASSERT_TRUE(PrepareSampler(*tex, full));
    EXPECT_FALSE(clearAt(full, 28, 2));
    EXPECT_TRUE(clearAt(full, 2, 2));
    EXPECT_TRUE(clearAt(full, 2, 28));
    Sampler copies[4];
    ASSERT_EQ(MipSamplers(*tex, copies, 4), 4);
    EXPECT_FALSE(clearAt(copies[0], 12, 2));  // 16 x 16: its top right block holds the texel
    EXPECT_TRUE(clearAt(copies[0], 2, 2));
    EXPECT_TRUE(clearAt(copies[0], 2, 12));
    EXPECT_FALSE(clearAt(copies[1], 2, 2));  // 8 x 8: one block
    EXPECT_FALSE(copies[2].alphaBlocks.Known());

    FillWithOneOpaqueTexel(*tex, 0, 31);
    ASSERT_TRUE(PrepareSampler(*tex, full));
    EXPECT_TRUE(clearAt(full, 28, 2));
    EXPECT_FALSE(clearAt(full, 2, 28));
    ReleaseDeviceTexture(tex);
}

}  // namespace
}  // namespace platform::device_detail
