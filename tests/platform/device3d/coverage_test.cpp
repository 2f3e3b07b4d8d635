// Which pixels a triangle covers: the fill rule, shared edges, meshes and tiny triangles drawn
// once, and culling.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/platform/device3d/device_fixture.h"

namespace platform {
namespace {

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

}  // namespace
}  // namespace platform
