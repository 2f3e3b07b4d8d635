// Textured triangles: perspective, the texture's surface, smaller copies and filtering.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/platform/device3d/device_fixture.h"

namespace platform {
namespace {

// Writes 5-6-5 texels: green = the given 6-bit value per texel.
void FillGreen(DeviceTexture& t, const std::vector<int>& green) {
    LockedPixels px;
    ASSERT_EQ(LockSurface(*t.surface, px), kSurfaceOk);
    for (int y = 0; y < px.height; ++y) {
        for (int x = 0; x < px.width; ++x) {
            const auto v = static_cast<uint16_t>(green[static_cast<size_t>(y * px.width + x)] << 5);
            std::memcpy(px.bits + y * px.pitch + x * 2, &v, 2);
        }
    }
    UnlockSurface(*t.surface);
}

TEST_F(DeviceTest, TexturesFollowPerspectiveAndTheirSurface) {
    Make(64, 64, kXrgb8888);
    CameraProjection();
    // A 1 x 64 texture whose row k has green level k, laid on the floor so that v = (z + 0.5) / 64:
    // the row seen at screen row r is the floor's depth z = 32 / (r - 32) - 1 there.
    DeviceTexture* tex = CreateDeviceTexture(1, 64, kRgb565);
    ASSERT_NE(tex, nullptr);
    std::vector<int> levels(64);
    for (int k = 0; k < 64; ++k) {
        levels[static_cast<size_t>(k)] = k;
    }
    FillGreen(*tex, levels);
    SetTexture(*device, 0, tex);
    auto floorAt = [](float x, float z) { return DeviceVertex{x, -1, z, 0, 1, 0, 0.5f, (z + 0.5f) / 64.0f}; };
    const std::vector<DeviceVertex> floor = {floorAt(-200, 50), floorAt(200, 50), floorAt(-200, 0.5f),
                                             floorAt(200, 0.5f)};
    Draw(floor, {0, 1, 2, 2, 1, 3});
    auto levelAt = [&](int row) { return static_cast<int>((Rgb(32, row) >> 8) & 0xFF) >> 2; };
    EXPECT_EQ(levelAt(48), 1);  // z = 1
    EXPECT_EQ(levelAt(40), 3);  // z = 3
    EXPECT_EQ(levelAt(36), 7);  // z = 7
    EXPECT_EQ(levelAt(34), 15);

    // Writing the surface again is seen by the next draw.
    FillGreen(*tex, std::vector<int>(64, 63));
    Draw(floor, {0, 1, 2, 2, 1, 3});
    EXPECT_EQ(Rgb(32, 48), 0x00FF00u);
    SetTexture(*device, 0, nullptr);
    ReleaseDeviceTexture(tex);
}

// A texture drawn much smaller than it is reads its halved copies: a one-texel checker of black and
// green drawn 16 times smaller becomes an even half green instead of a speckle of either colour.
// Whether a copy is used is decided per triangle, so a texture drawn at its own size is unchanged.
TEST_F(DeviceTest, MinifiedTexturesReadTheirSmallerCopies) {
    const auto drawChecker = [&](int size, float repeats) {
        DeviceTexture* tex = CreateDeviceTexture(size, size, kRgb565);
        std::vector<int> checker(static_cast<size_t>(size * size));
        for (int i = 0; i < size * size; ++i) {
            checker[static_cast<size_t>(i)] = ((i / size + i % size) % 2) * 63;
        }
        FillGreen(*tex, checker);
        SetTexture(*device, 0, tex);
        const std::vector<DeviceVertex> quad = {Pixel(0, 0, 0.5f, 0, 0), Pixel(16, 0, 0.5f, repeats, 0),
                                                Pixel(0, 16, 0.5f, 0, repeats),
                                                Pixel(16, 16, 0.5f, repeats, repeats)};
        Draw(quad, {0, 1, 2, 2, 1, 3});
        SetTexture(*device, 0, nullptr);
        ReleaseDeviceTexture(tex);
    };
    drawChecker(256, 1.0f);
    for (int y = 0; y < 16; y += 3) {
        for (int x = 0; x < 16; x += 3) {
            EXPECT_NEAR(static_cast<int>((Rgb(x, y) >> 8) & 0xFF), 128, 8) << x << "," << y;
        }
    }
    drawChecker(16, 1.0f);  // one texel per pixel: the checker itself
    EXPECT_EQ(Rgb(4, 4), 0x000000u);
    EXPECT_EQ(Rgb(5, 4), 0x00FF00u);
    // A texture whose sides are not powers of two has no copies: each pixel is one of its texels.
    drawChecker(48, 3.0f);
    EXPECT_TRUE(Rgb(4, 4) == 0x000000u || Rgb(4, 4) == 0x00FF00u);
}

TEST_F(DeviceTest, PointAndBilinearFiltering) {
    EXPECT_EQ(CreateDeviceTexture(kMaxTextureSize + 1, 1, kRgb565), nullptr);
    EXPECT_EQ(CreateDeviceTexture(4, 4, kXrgb8888), nullptr);
    // Two texels, black and full green, stretched over the whole 16-pixel-wide view.
    DeviceTexture* tex = CreateDeviceTexture(2, 1, kRgb565);
    ASSERT_NE(tex, nullptr);
    FillGreen(*tex, {0, 63});
    SetTexture(*device, 0, tex);
    const std::vector<DeviceVertex> quad = {Pixel(0, 0, 0.5f, 0, 0), Pixel(16, 0, 0.5f, 1, 0),
                                            Pixel(0, 16, 0.5f, 0, 1), Pixel(16, 16, 0.5f, 1, 1)};
    Draw(quad, {0, 1, 2, 2, 1, 3});
    EXPECT_EQ(Rgb(7, 8), 0x000000u);
    EXPECT_EQ(Rgb(8, 8), 0x00FF00u);
    SetTextureStageState(*device, 0, kTssMagFilter, kFilterLinear);
    SetTextureStageState(*device, 0, kTssMinFilter, kFilterLinear);
    Draw(quad, {0, 1, 2, 2, 1, 3});
    // Pixel 8 samples u = 0.5: halfway between the texel centres; pixel 4 the black texel's centre.
    EXPECT_NEAR(static_cast<double>((Rgb(8, 8) >> 8) & 0xFF), 127.5, 1.5);
    EXPECT_EQ(Rgb(4, 8), 0x000000u);
    EXPECT_EQ(Rgb(12, 8), 0x00FF00u);
    SetTexture(*device, 0, nullptr);
    ReleaseDeviceTexture(tex);
}

}  // namespace
}  // namespace platform
