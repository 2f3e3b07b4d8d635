#include "game/course/object_texels.h"

#include <gtest/gtest.h>

#include "platform/draw_surface.h"

namespace course {
namespace {

TEST(ObjectTexels, AlphaDecidesWhereTexturesHaveIt) {
    // Left half transparent, right half opaque; a texture without alpha; no texture at all.
    platform::DeviceTexture* cutout = platform::CreateDeviceTexture(4, 2, platform::kArgb1555);
    platform::DeviceTexture* solid = platform::CreateDeviceTexture(4, 2, platform::kRgb565);
    ASSERT_NE(cutout, nullptr);
    ASSERT_NE(solid, nullptr);
    const platform::SurfaceRect right{2, 0, 4, 2};
    ASSERT_EQ(platform::ColorFill(*cutout->surface, &right, 0x8000u | 0x1Fu), 0);
    platform::DeviceTexture* const textures[3] = {cutout, nullptr, solid};
    const TexelOpacity opaque = OpacityFromTextures(textures);
    EXPECT_FALSE(opaque(0, 0.0f, 0.0f));
    EXPECT_FALSE(opaque(0, 0.4f, 1.0f));
    EXPECT_TRUE(opaque(0, 0.7f, 0.5f));
    EXPECT_TRUE(opaque(0, 1.0f, 1.0f));
    EXPECT_TRUE(opaque(1, 0.0f, 0.0f));
    EXPECT_TRUE(opaque(2, 0.0f, 0.0f));  // black, but a format without alpha has no holes
    EXPECT_TRUE(opaque(core::kNoMaterial, 0.0f, 0.0f));
    platform::ReleaseDeviceTexture(cutout);
    platform::ReleaseDeviceTexture(solid);
}

}  // namespace
}  // namespace course
