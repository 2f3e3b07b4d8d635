// Where a draw lands in the target: clipping at the near plane, viewports inside and beyond the
// surface, vertices too far out, Clear and the order of scenes, dithering into 16-bit targets.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "tests/platform/device3d/device_fixture.h"

namespace platform {
namespace {

TEST_F(DeviceTest, ClipsAtTheNearPlaneForGroundPassingUnderTheViewer) {
    Make(64, 64, kXrgb8888);
    CameraProjection();
    SetRenderState(*device, kRsZEnable, 1);
    // A floor one unit below the eye from 10 behind to 50 ahead. Row r of the 64-row view sees the
    // floor at depth 2 - r / 32, reaching the bottom edge at z = 0; above the horizon nothing.
    Draw({{-200, -1, 50, 0, 1, 0, 0, 0},
          {200, -1, 50, 0, 1, 0, 0, 0},
          {-200, -1, -10, 0, 1, 0, 0, 0},
          {200, -1, -10, 0, 1, 0, 0, 0}},
         {0, 1, 2, 2, 1, 3});
    for (int row = 33; row < 64; ++row) {
        EXPECT_EQ(Rgb(32, row), 0xFFFFFFu) << row;
        EXPECT_EQ(Rgb(0, row), 0xFFFFFFu) << row;
        EXPECT_NEAR(Depth(32, row), (2.0 - row / 32.0) * 65535.0, 2.0) << row;
    }
    for (int row = 0; row <= 32; ++row) {
        EXPECT_EQ(Rgb(32, row), 0u) << row;
    }
}

TEST_F(DeviceTest, ViewportAwayFromTheOriginBoundsDrawingAndClearing) {
    Make(64, 48, kXrgb8888);
    const DeviceViewport vp{40, 30, 16, 12, 0.0f, 1.0f};
    ASSERT_EQ(SetViewport(*device, vp), kDeviceOk);
    // Clip-space corners (-1, 1) .. (1, -1) are the viewport's corners; drawn far beyond them.
    Draw({{-3, 3, 0.5f, 0, 0, -1, 0, 0},
          {3, 3, 0.5f, 0, 0, -1, 0, 0},
          {-3, -3, 0.5f, 0, 0, -1, 0, 0},
          {3, -3, 0.5f, 0, 0, -1, 0, 0}},
         {0, 1, 2, 2, 1, 3});
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool inside = x >= 40 && x < 56 && y >= 30 && y < 42;
            ASSERT_EQ(Rgb(x, y) != 0, inside) << x << "," << y;
        }
    }
    // A small triangle around clip (0, 0) lands around the viewport's centre (48, 36).
    const SurfaceRect everything{0, 0, 64, 48};
    Clear(*device, &everything, 1, kClearTarget, 0, 1.0f);  // cut to the viewport
    EXPECT_EQ(Rgb(0, 0), 0u);
    Draw({{-0.01f, 0.01f, 0.5f, 0, 0, -1, 0, 0},
          {0.05f, 0.01f, 0.5f, 0, 0, -1, 0, 0},
          {-0.01f, -0.05f, 0.5f, 0, 0, -1, 0, 0}});
    EXPECT_EQ(Rgb(48, 36), 0xFFFFFFu);
    EXPECT_EQ(CountLit(), 1);
}

// A viewport may lie partly or wholly beyond the surface's edges: only the pixels on the surface
// are drawn, and a viewport with none draws nothing (with threads too, which share out rows), also
// for a triangle that needs clipping at the near plane and so may cover the whole target.
TEST_F(DeviceTest, ViewportsBeyondTheSurfaceDrawOnlyOnIt) {
    for (const int threads : {1, 2}) {
        Make(64, 48, kXrgb8888);
        SetDeviceThreads(*device, threads);
        CameraProjection();
        SetRenderState(*device, kRsCullMode, kCullNone);
        const std::vector<DeviceVertex> nearAndFar{
            {-3, -3, -0.5f, 0, 0, -1, 0, 0}, {3, -3, 4.0f, 0, 0, -1, 0, 0}, {0, 6, 4.0f, 0, 0, -1, 0, 0}};
        for (const DeviceViewport& off :
             {DeviceViewport{0, 48, 64, 48, 0.0f, 1.0f}, DeviceViewport{0, 100, 64, 48, 0.0f, 1.0f},
              DeviceViewport{64, 0, 16, 48, 0.0f, 1.0f}}) {
            ASSERT_EQ(SetViewport(*device, off), kDeviceOk);
            Draw(nearAndFar);
            EXPECT_EQ(CountLit(), 0) << threads << " threads, viewport at " << off.x << "," << off.y;
        }
        ASSERT_EQ(SetViewport(*device, {0, 40, 64, 48, 0.0f, 1.0f}), kDeviceOk);
        Draw(nearAndFar);
        EXPECT_GT(CountLit(), 0);
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 64; ++x) {
                ASSERT_EQ(Rgb(x, y), 0u) << threads << " threads, " << x << "," << y;
            }
        }
    }
}

// A viewport may reach far beyond the surface: a triangle with a vertex beyond the coordinates
// the rasteriser takes draws nothing (though it crosses the surface), one beside it still draws.
TEST_F(DeviceTest, TrianglesWithAVertexTooFarOutDrawNothing) {
    for (const int threads : {1, 2}) {
        Make(64, 48, kXrgb8888);
        SetDeviceThreads(*device, threads);
        SetRenderState(*device, kRsCullMode, kCullNone);
        const DeviceViewport wide{0, 0, 3000000, 48, 0.0f, 1.0f};
        ASSERT_EQ(SetViewport(*device, wide), kDeviceOk);
        const auto at = [&](float sx, float sy) {
            const float halfWidth = static_cast<float>(wide.width) * 0.5f;
            return DeviceVertex{sx / halfWidth - 1.0f, 1.0f - sy / 24.0f, 0.5f, 0, 0, -1, 0, 0};
        };
        Draw({at(10, 5), at(50, 5), at(1.2e6f, 40)});
        EXPECT_EQ(CountLit(), 0) << threads << " threads";
        Draw({at(10, 5), at(50, 5), at(30, 40)});
        EXPECT_GT(CountLit(), 0) << threads << " threads";
    }
}

TEST_F(DeviceTest, ClearConvertsColourAndDepthAndSceneOrderIsEnforced) {
    Make(8, 8, kRgb565);
    Clear(*device, nullptr, 0, kClearTarget | kClearZBuffer, 0x00D0E0FF, 1.0f);
    LockedPixels px;
    LockSurface(*target, px);
    uint16_t v;
    std::memcpy(&v, px.bits, 2);
    UnlockSurface(*target);
    EXPECT_EQ(v, (0xD0 >> 3) << 11 | (0xE0 >> 2) << 5 | 0x1F);
    EXPECT_EQ(Depth(7, 7), 0xFFFF);

    const DeviceVertex tri[3] = {Pixel(0, 0), Pixel(8, 0), Pixel(0, 8)};
    const uint16_t idx[3] = {0, 1, 2};
    EXPECT_LT(DrawIndexedPrimitive(*device, kPrimitiveTriangleList, kVertexFormatPositionNormalTex1, tri, 3,
                                   idx, 3),
              0);
    EXPECT_EQ(BeginScene(*device), kDeviceOk);
    EXPECT_LT(BeginScene(*device), 0);
    EXPECT_EQ(EndScene(*device), kDeviceOk);
    EXPECT_LT(EndScene(*device), 0);
}

TEST_F(DeviceTest, DithersSixteenBitTargetsOnlyWhenEnabled) {
    Make(8, 8, kRgb565);
    SetRenderState(*device, kRsLighting, 1);
    DeviceMaterial m;
    m.emissive = {132.0f / 255.0f, 132.0f / 255.0f, 132.0f / 255.0f, 1};
    SetMaterial(*device, m);
    auto redLevels = [&](double& mean) {
        Draw({Pixel(0, 0), Pixel(16, 0), Pixel(0, 16)});
        std::vector<uint32_t> seen;
        double sum = 0;
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const uint32_t r = Rgb(x, y) >> 16;
                sum += r;
                if (std::find(seen.begin(), seen.end(), r) == seen.end()) {
                    seen.push_back(r);
                }
            }
        }
        mean = sum / 16;
        return seen.size();
    };
    double mean = 0;
    EXPECT_EQ(redLevels(mean), 1u);
    SetRenderState(*device, kRsDitherEnable, 1);
    EXPECT_EQ(redLevels(mean), 2u);
    EXPECT_NEAR(mean, 132.0, 2.0);
}

}  // namespace
}  // namespace platform
