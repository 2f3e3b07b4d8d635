#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/device3d.h"

namespace platform {
namespace {

// A device over a 32-bit target (exact 8-bit channels) and a depth surface, lighting off, no depth
// test unless a test turns it on; vertices given in pixels map straight to the screen.
class DeviceTest : public testing::Test {
  protected:
    void SetUp() override { Make(16, 16, kXrgb8888); }
    void TearDown() override { Free(); }

    void Make(int width, int height, const PixelFormat& format) {
        Free();
        target = CreateDrawSurface(width, height, format);
        depth = CreateDrawSurface(width, height, kDepth16);
        device = CreateDevice3D(*target, DeviceKind::kSoftware);
        ASSERT_EQ(SetRenderTarget(*device, *target, depth), kDeviceOk);
        SetRenderState(*device, kRsLighting, 0);
        Clear(*device, nullptr, 0, kClearTarget | kClearZBuffer, 0, 1.0f);
    }
    void Free() {
        ReleaseDevice3D(device);
        ReleaseDrawSurface(target);
        ReleaseDrawSurface(depth);
        device = nullptr;
        target = depth = nullptr;
    }

    // A vertex at pixel (sx, sy) of the whole-target viewport with depth z, under identity transforms.
    DeviceVertex Pixel(float sx, float sy, float z = 0.5f, float u = 0, float v = 0) const {
        const float w = static_cast<float>(target->width), h = static_cast<float>(target->height);
        return {sx * 2.0f / w - 1.0f, 1.0f - sy * 2.0f / h, z, 0, 0, -1, u, v};
    }

    void Draw(const std::vector<DeviceVertex>& v, std::vector<uint16_t> idx = {}) {
        if (idx.empty()) {
            for (size_t i = 0; i < v.size(); ++i) {
                idx.push_back(static_cast<uint16_t>(i));
            }
        }
        ASSERT_EQ(BeginScene(*device), kDeviceOk);
        EXPECT_EQ(DrawIndexedPrimitive(*device, kPrimitiveTriangleList, kVertexFormatPositionNormalTex1,
                                       v.data(), static_cast<uint32_t>(v.size()), idx.data(),
                                       static_cast<uint32_t>(idx.size())),
                  kDeviceOk);
        ASSERT_EQ(EndScene(*device), kDeviceOk);
    }

    uint32_t Rgb(int x, int y) const { return ReadPixelRgb(*target, x, y); }
    uint16_t Depth(int x, int y) const {
        LockedPixels px;
        LockSurface(*depth, px);
        uint16_t v;
        std::memcpy(&v, px.bits + y * px.pitch + x * 2, 2);
        UnlockSurface(*depth);
        return v;
    }
    int CountLit() const {
        int n = 0;
        for (int y = 0; y < target->height; ++y) {
            for (int x = 0; x < target->width; ++x) {
                n += Rgb(x, y) != 0 ? 1 : 0;
            }
        }
        return n;
    }

    // The camera projection: w = z + 1, depth z / (z + 1), unit scales.
    void CameraProjection() {
        Matrix4 p;
        p.m[0][0] = 1;
        p.m[1][1] = 1;
        p.m[2][2] = 1;
        p.m[2][3] = 1;
        p.m[3][3] = 1;
        SetTransform(*device, TransformType::kProjection, p);
    }

    // Additive blending of 0x33 red: a pixel's red channel counts how often it was drawn.
    void AddRedOnEveryDraw() {
        SetRenderState(*device, kRsAlphaBlendEnable, 1);
        SetRenderState(*device, kRsSrcBlend, kBlendOne);
        SetRenderState(*device, kRsDestBlend, kBlendOne);
        SetRenderState(*device, kRsLighting, 1);
        DeviceMaterial m;
        m.emissive = {0.2f, 0, 0, 1};
        SetMaterial(*device, m);
    }

    DrawSurface* target = nullptr;
    DrawSurface* depth = nullptr;
    Device3D* device = nullptr;
};

TEST_F(DeviceTest, FillRuleCoversTopAndLeftEdgesOnly) {
    // Right triangle with its corners on pixel centres: the top and left edges belong to it, the
    // sloped right edge does not, so x + y < 4 is covered.
    Draw({Pixel(2, 2), Pixel(6, 2), Pixel(2, 6)});
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool inside = x >= 2 && y >= 2 && (x - 2) + (y - 2) < 4;
            EXPECT_EQ(Rgb(x, y) != 0, inside) << x << "," << y;
        }
    }
}

TEST_F(DeviceTest, SharedEdgesAreDrawnExactlyOnce) {
    // A fan of triangles around an off-grid centre must draw every pixel of the square at most
    // once and leave no gaps.
    AddRedOnEveryDraw();
    const DeviceVertex c = Pixel(7.3f, 6.6f), a = Pixel(1.5f, 1.5f), b = Pixel(13.5f, 1.5f),
                       d = Pixel(13.5f, 13.5f), e = Pixel(1.5f, 13.5f);
    Draw({c, a, b, c, b, d, c, d, e, c, e, a});
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool inside = x >= 2 && x <= 13 && y >= 2 && y <= 13;
            EXPECT_EQ(Rgb(x, y), inside ? 0x330000u : 0u) << x << "," << y;
        }
    }
}

TEST_F(DeviceTest, MeshOfTrianglesOfEverySizeCoversEachPixelOnce) {
    // A grid whose cells run from a fifth of a pixel to the guard band's limits on both sides of a
    // 512-pixel view, so that neighbouring triangles are covered by every path of the rasteriser
    // (box tested pixel by pixel, edges walked, wide triangles in 64 bits) and by different ones.
    // Some vertices are moved off the grid lines, the others keep whole-pixel positions, so that
    // edges also run exactly through pixel centres. Zero-area triangles must draw nothing. Then two
    // triangles from corner to corner of the guard band cover everything once more.
    Make(512, 512, kXrgb8888);
    AddRedOnEveryDraw();
    SetRenderState(*device, kRsCullMode, kCullNone);
    const std::vector<float> lines = {-1792, -3.3f, 0.2f, 0.45f,  1.5f,   2,      5,   9,      10,  30.5f, 31,
                                      40,    77.7f, 80,   120.3f, 200.5f, 254.2f, 400, 509.6f, 512, 2304};
    const int n = static_cast<int>(lines.size());
    uint32_t seed = 12345;
    auto jitter = [&seed](float gapBefore, float gapAfter) {
        seed = seed * 1664525u + 1013904223u;
        const float t = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;  // -0.5 .. 0.5
        return t * 0.6f * std::min(gapBefore, gapAfter);
    };
    std::vector<DeviceVertex> v;
    for (int row = 0; row < n; ++row) {
        for (int col = 0; col < n; ++col) {
            float x = lines[col], y = lines[row];
            if (col > 0 && col < n - 1 && row > 0 && row < n - 1 && row % 2 == 1 && col % 2 == 1) {
                x += jitter(lines[col] - lines[col - 1], lines[col + 1] - lines[col]);
                y += jitter(lines[row] - lines[row - 1], lines[row + 1] - lines[row]);
            }
            v.push_back(Pixel(x, y));
        }
    }
    std::vector<uint16_t> idx;
    for (int row = 0; row + 1 < n; ++row) {
        for (int col = 0; col + 1 < n; ++col) {
            const auto at = [n](int r, int c) { return static_cast<uint16_t>(r * n + c); };
            const uint16_t a = at(row, col), b = at(row, col + 1), c = at(row + 1, col),
                           d = at(row + 1, col + 1);
            const std::vector<uint16_t> cell = (row + col) % 2 == 0 ? std::vector<uint16_t>{a, b, c, b, d, c}
                                                                    : std::vector<uint16_t>{a, b, d, a, d, c};
            idx.insert(idx.end(), cell.begin(), cell.end());
        }
    }
    const auto first = static_cast<uint16_t>(v.size());
    for (const DeviceVertex& p :
         {Pixel(3, 5), Pixel(40, 5), Pixel(90, 5), Pixel(7, 7), Pixel(7, 7), Pixel(60, 9)}) {
        v.push_back(p);
    }
    for (uint16_t i : {0, 1, 2, 2, 1, 0, 3, 4, 5}) {
        idx.push_back(static_cast<uint16_t>(first + i));
    }
    Draw(v, idx);
    Draw({Pixel(-1792, -1792), Pixel(2304, -1792), Pixel(2304, 2304), Pixel(-1792, 2304)},
         {0, 1, 2, 0, 2, 3});
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 512; ++x) {
            ASSERT_EQ(Rgb(x, y), 0x660000u) << x << "," << y;
        }
    }
}

TEST_F(DeviceTest, TinyTrianglesMeetingAtPixelCentresDrawEachPixelOnce) {
    // Lattices of cells a pixel or half a pixel across, straight and sheared, split along both
    // diagonals: every triangle's box holds at most two pixel centres each way, and most pixel
    // centres lie on corners and edges shared by up to six triangles. Each must be drawn once.
    Make(64, 64, kXrgb8888);
    AddRedOnEveryDraw();
    SetRenderState(*device, kRsCullMode, kCullNone);
    struct Lattice {
        float cell, shear;  // cell size, and the x shift per row of cells
    };
    for (const Lattice lattice : {Lattice{1.0f, 0.0f}, Lattice{0.5f, 0.0f}, Lattice{1.0f, 0.5f},
                                  Lattice{0.5f, -0.25f}, Lattice{1.0f, 1.0f}}) {
        Clear(*device, nullptr, 0, kClearTarget, 0, 1.0f);
        const int cells = static_cast<int>(40.0f / lattice.cell);
        const auto at = [&](int row, int col) {
            return Pixel(
                12.0f + lattice.cell * static_cast<float>(col) + lattice.shear * static_cast<float>(row),
                12.0f + lattice.cell * static_cast<float>(row));
        };
        std::vector<DeviceVertex> v;
        std::vector<uint16_t> idx;
        for (int row = 0; row < cells; ++row) {
            for (int col = 0; col < cells; ++col) {
                const auto first = static_cast<uint16_t>(v.size());
                v.insert(v.end(), {at(row, col), at(row, col + 1), at(row + 1, col), at(row + 1, col + 1)});
                const std::vector<uint16_t> split = (row + col) % 2 == 0
                                                        ? std::vector<uint16_t>{0, 1, 2, 1, 3, 2}
                                                        : std::vector<uint16_t>{0, 1, 3, 0, 3, 2};
                for (uint16_t i : split) {
                    idx.push_back(static_cast<uint16_t>(first + i));
                }
            }
            Draw(v, idx);
            v.clear();
            idx.clear();
        }
        for (int y = 0; y < 64; ++y) {
            // The lattice's row y runs from x0 to x0 + 40 (top and left edges included).
            const float x0 = 12.0f + lattice.shear * (static_cast<float>(y) - 12.0f) / lattice.cell;
            for (int x = 0; x < 64; ++x) {
                const uint32_t red = Rgb(x, y);
                ASSERT_LE(red, 0x330000u)
                    << "cell " << lattice.cell << " shear " << lattice.shear << " at " << x << "," << y;
                const bool inside = y >= 12 && y < 52 && x >= x0 + 1.0f && x <= x0 + 39.0f;
                if (inside) {
                    ASSERT_EQ(red, 0x330000u)
                        << "cell " << lattice.cell << " shear " << lattice.shear << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST_F(DeviceTest, CullsCounterClockwiseTrianglesByDefault) {
    Draw({Pixel(2, 2), Pixel(2, 6), Pixel(6, 2)});
    EXPECT_EQ(CountLit(), 0);
    SetRenderState(*device, kRsCullMode, kCullNone);
    Draw({Pixel(2, 2), Pixel(2, 6), Pixel(6, 2)});
    EXPECT_EQ(CountLit(), 10);
}

TEST_F(DeviceTest, WritesCameraDepthAndTestsLessOrEqual) {
    CameraProjection();
    SetRenderState(*device, kRsZEnable, 1);
    // A wall facing the viewer at view depth z covers the centre; depth there is z / (z + 1).
    auto wall = [&](float z, float red) {
        DeviceMaterial m;
        m.emissive = {red, 0, 0, 1};
        SetRenderState(*device, kRsLighting, 1);
        SetMaterial(*device, m);
        const float s = z + 1;  // so the wall spans the view at any depth
        Draw({{-s, s, z, 0, 0, -1, 0, 0},
              {s, s, z, 0, 0, -1, 0, 0},
              {-s, -s, z, 0, 0, -1, 0, 0},
              {s, -s, z, 0, 0, -1, 0, 0}},
             {0, 1, 2, 2, 1, 3});
    };
    wall(3.0f, 1.0f);
    EXPECT_EQ(Depth(8, 8), 49151);  // 0.75 * 65535
    EXPECT_EQ(Rgb(8, 8), 0xFF0000u);
    wall(7.0f, 0.5f);  // behind: hidden
    EXPECT_EQ(Rgb(8, 8), 0xFF0000u);
    EXPECT_EQ(Depth(8, 8), 49151);
    wall(3.0f, 0.5f);  // equal depth passes
    EXPECT_EQ(Rgb(8, 8), 0x800000u);
    wall(1.0f, 0.25f);
    EXPECT_EQ(Depth(8, 8), 32768);  // 0.5 * 65535, rounded
    EXPECT_EQ(Rgb(8, 8), 0x400000u);
}

TEST_F(DeviceTest, LightsByDirectionalLightAndAmbient) {
    SetRenderState(*device, kRsLighting, 1);
    SetRenderState(*device, kRsAmbient, 0x00202020);
    DeviceMaterial m;
    m.diffuse = {0.5f, 1.0f, 0.25f, 1.0f};
    m.ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    SetMaterial(*device, m);
    DeviceLight sun;
    sun.type = kLightDirectional;
    sun.diffuse = {1.0f, 0.5f, 1.0f, 1.0f};
    sun.direction = {0.0f, -2.0f, 0.0f};  // shining straight down; length does not matter
    ASSERT_EQ(SetLight(*device, 0, sun), kDeviceOk);
    LightEnable(*device, 0, true);
    auto litWith = [&](float nx, float ny, float nz) {
        std::vector<DeviceVertex> v = {Pixel(0, 0), Pixel(16, 0), Pixel(0, 16)};
        for (DeviceVertex& p : v) {
            p.nx = nx;
            p.ny = ny;
            p.nz = nz;
        }
        Draw(v);
        return Rgb(2, 2);
    };
    // N . L = 0.8: colour = diffuse x light x 0.8 + ambient 32/255.
    EXPECT_EQ(litWith(0.6f, 0.8f, 0.0f), 0x868653u);
    EXPECT_EQ(litWith(0.0f, -1.0f, 0.0f), 0x202020u);  // facing away: ambient only
    LightEnable(*device, 0, false);
    EXPECT_EQ(litWith(0.0f, 1.0f, 0.0f), 0x202020u);
    SetRenderState(*device, kRsLighting, 0);
    EXPECT_EQ(litWith(0.0f, -1.0f, 0.0f), 0xFFFFFFu);  // unlit: white
}

TEST_F(DeviceTest, PointLightsAndHighlightsDependOnWhereTheVertexIs) {
    // Under identity transforms a vertex's world position is its clip position; the camera sits at
    // the origin looking along +z and every normal faces it.
    SetRenderState(*device, kRsLighting, 1);
    DeviceMaterial m;
    m.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    m.specular = {1.0f, 1.0f, 1.0f, 1.0f};
    m.power = 20.0f;
    SetMaterial(*device, m);
    // A point light just in front of the top-left corner reaches only the triangle there.
    DeviceLight bulb;
    bulb.type = kLightPoint;
    bulb.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    bulb.position = {-0.75f, 0.75f, 0.0f};
    bulb.range = 0.8f;
    bulb.attenuation0 = 1.0f;
    ASSERT_EQ(SetLight(*device, 0, bulb), kDeviceOk);
    LightEnable(*device, 0, true);
    Draw({Pixel(1, 1), Pixel(4, 1), Pixel(1, 4), Pixel(11, 11), Pixel(14, 11), Pixel(11, 14)});
    EXPECT_GT(Rgb(2, 2) >> 16, 0xD0u);
    EXPECT_EQ(Rgb(12, 12), 0u);
    // A highlight from a light behind the camera: strongest where the view meets the surface
    // straight on (the centre), weak towards the corners.
    Clear(*device, nullptr, 0, kClearTarget, 0, 1.0f);
    DeviceLight sun;
    sun.type = kLightDirectional;
    sun.specular = {1.0f, 1.0f, 1.0f, 1.0f};
    sun.direction = {0.0f, 0.0f, 1.0f};
    ASSERT_EQ(SetLight(*device, 0, sun), kDeviceOk);
    SetRenderState(*device, kRsSpecularEnable, 1);
    m.diffuse = {0.0f, 0.0f, 0.0f, 1.0f};
    SetMaterial(*device, m);
    Draw({Pixel(8, 8), Pixel(0, 0), Pixel(16, 0), Pixel(16, 16), Pixel(0, 16)},
         {0, 1, 2, 0, 2, 3, 0, 3, 4, 0, 4, 1});
    EXPECT_GT(Rgb(8, 8) >> 16, 0xE0u);
    EXPECT_LT(Rgb(1, 1) >> 16, 0x40u);
}

TEST_F(DeviceTest, LinearVertexFogByViewDepth) {
    CameraProjection();
    SetRenderState(*device, kRsFogEnable, 1);
    SetRenderState(*device, kRsFogColor, 0x000000);
    SetRenderState(*device, kRsFogVertexMode, kFogLinear);
    SetRenderState(*device, kRsFogStart, FloatState(1.0f));
    SetRenderState(*device, kRsFogEnd, FloatState(1500.0f));
    auto fogged = [&](float z) {
        const float s = z + 1;
        Draw({{-s, s, z, 0, 0, -1, 0, 0}, {s, s, z, 0, 0, -1, 0, 0}, {-s, -s, z, 0, 0, -1, 0, 0}});
        return Rgb(4, 4) & 0xFF;
    };
    EXPECT_EQ(fogged(751.0f), 127u);  // (1500 - 751) / 1499 of white
    EXPECT_EQ(fogged(0.5f), 255u);    // nearer than the start: no fog
    EXPECT_EQ(fogged(1600.0f), 0u);   // beyond the end: all fog colour
}

TEST_F(DeviceTest, AlphaTestAtReferenceEightKeepsColourAndDepthOfRejectedPixels) {
    SetRenderState(*device, kRsLighting, 1);
    SetRenderState(*device, kRsZEnable, 1);
    SetRenderState(*device, kRsAlphaTestEnable, 1);
    SetRenderState(*device, kRsAlphaRef, 8);
    SetRenderState(*device, kRsAlphaFunc, kCmpGreaterEqual);
    SetTextureStageState(*device, 0, kTssAlphaArg1, kTaDiffuse);
    auto drawWithAlpha = [&](float alpha) {
        DeviceMaterial m;
        m.emissive = {1, 1, 1, 0};
        m.diffuse = {0, 0, 0, alpha};
        SetMaterial(*device, m);
        Draw({Pixel(0, 0, 0.25f), Pixel(16, 0, 0.25f), Pixel(0, 16, 0.25f)});
    };
    drawWithAlpha(7.0f / 255.0f);
    EXPECT_EQ(Rgb(2, 2), 0u);
    EXPECT_EQ(Depth(2, 2), 0xFFFF);
    drawWithAlpha(8.0f / 255.0f);
    EXPECT_EQ(Rgb(2, 2), 0xFFFFFFu);
    EXPECT_EQ(Depth(2, 2), 16384);
}

TEST_F(DeviceTest, BlendsSourceAlphaOverTheTarget) {
    const SurfaceRect all{0, 0, 16, 16};
    Clear(*device, &all, 1, kClearTarget, 0x00FF0000, 1.0f);
    SetRenderState(*device, kRsLighting, 1);
    SetRenderState(*device, kRsAlphaBlendEnable, 1);
    SetRenderState(*device, kRsSrcBlend, kBlendSrcAlpha);
    SetRenderState(*device, kRsDestBlend, kBlendInvSrcAlpha);
    SetTextureStageState(*device, 0, kTssAlphaArg1, kTaDiffuse);
    DeviceMaterial m;
    m.emissive = {1, 1, 1, 0};
    m.diffuse = {0, 0, 0, 128.0f / 255.0f};
    SetMaterial(*device, m);
    Draw({Pixel(0, 0), Pixel(16, 0), Pixel(0, 16)});
    EXPECT_EQ(Rgb(2, 2), 0xFF8080u);
    EXPECT_EQ(Rgb(15, 15), 0xFF0000u);
}

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
