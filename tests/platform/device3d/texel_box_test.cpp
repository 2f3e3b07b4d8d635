#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "platform/device3d/alpha_blocks.h"
#include "platform/device3d/raster.h"
#include "platform/device3d/span_parts.h"
#include "platform/device3d/texel_box.h"
#include "tests/platform/device3d/rgb565_target.h"

namespace platform::device_detail {
namespace {

// Planes without perspective: u and v change by the given repeats per pixel, from 0 at pixel (0, 0).
TexturePlanes Flat(float uPerPixel, float vPerPixel) {
    TexturePlanes p;
    p.q = 1.0f;
    p.uqx = uPerPixel;
    p.vqy = vPerPixel;
    return p;
}

TEST(TexelBox, BoundsTheQuadsOfTheRectanglesSamplesOrSaysItCannot) {
    TexelBox box;
    // One texel per pixel of a 64 x 64 texture: bilinear samples of spans over pixels 10..20 lie at
    // texels 9.5 .. 20.5 (the last run ends past the span), their quads reach texel 21; a little is
    // added for the shaders' rounding.
    ASSERT_TRUE(FindTexelBox(Flat(1.0f / 64, 1.0f / 64), 10, 20, 30, 31, 64, 64, 0.5f, box));
    EXPECT_LE(box.left, 9);
    EXPECT_GE(box.left, 7);
    EXPECT_GE(box.right, 21);
    EXPECT_LE(box.right, 23);
    EXPECT_LE(box.top, 29);
    EXPECT_GE(box.bottom, 31);
    // Left of the texture's first repeat the box is not wrapped.
    ASSERT_TRUE(FindTexelBox(Flat(1.0f / 64, 1.0f / 64), -20, -10, 0, 0, 64, 64, 0.0f, box));
    EXPECT_LE(box.left, -20);
    EXPECT_GE(box.right, -8);
    EXPECT_LT(box.right, 0);
    // A repeat or more across: the whole axis.
    ASSERT_TRUE(FindTexelBox(Flat(0.5f, 1.0f / 64), 0, 3, 0, 0, 64, 64, 0.5f, box));
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 63);
    EXPECT_LT(box.bottom - box.top, 8);
    // w not positive somewhere in the rectangle, coordinates out of range, nothing to bound.
    TexturePlanes behind = Flat(1.0f / 64, 1.0f / 64);
    behind.qx = -0.1f;
    EXPECT_FALSE(FindTexelBox(behind, 0, 9, 0, 0, 64, 64, 0.5f, box));  // w = 0 just past the span
    EXPECT_TRUE(FindTexelBox(behind, 0, 8, 0, 0, 64, 64, 0.5f, box));
    EXPECT_FALSE(FindTexelBox(Flat(1.0e7f, 0.0f), 1, 2, 0, 0, 64, 64, 0.5f, box));
    EXPECT_FALSE(FindTexelBox(Flat(1.0f / 64, 1.0f / 64), 5, 4, 0, 0, 64, 64, 0.5f, box));
}

// Whether texel i (wrapped into size) is one of first .. last wrapped.
bool InAxis(int i, int64_t first, int64_t last, int size) {
    const int64_t from = ((first % size) + size) % size;
    return ((i - from) % size + size) % size <= last - first;
}

// Random perspective planes over random rectangles: every texel that the scalar shaders' walks read
// for spans anywhere in the rectangle lies in its box.
TEST(TexelBox, HoldsEveryTexelTheWalksOfItsSpansRead) {
    std::mt19937 random(23);
    const auto uniform = [&](float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(random);
    };
    int bounded = 0;
    for (int round = 0; round < 400; ++round) {
        const int width = 8 << (random() % 6), height = 8 << (random() % 6);
        const int left = static_cast<int>(random() % 300), top = static_cast<int>(random() % 300);
        const int right = left + static_cast<int>(random() % 60),
                  bottom = top + static_cast<int>(random() % 20);
        // q, u and v at three corners of the rectangle, the planes through them.
        const float q0 = uniform(0.02f, 2.0f), q1 = uniform(0.02f, 2.0f), q2 = uniform(0.02f, 2.0f);
        const float spread = round % 2 == 0 ? 0.3f : 4.0f;  // repeats across the rectangle
        const float u0 = uniform(-spread, spread), u1 = uniform(-spread, spread),
                    u2 = uniform(-spread, spread);
        const float v0 = uniform(-spread, spread), v1 = uniform(-spread, spread),
                    v2 = uniform(-spread, spread);
        const float across = static_cast<float>(std::max(1, right + 1 - left));
        const float down = static_cast<float>(std::max(1, bottom - top));
        TexturePlanes p;
        p.x0 = static_cast<float>(left) + 0.25f;
        p.y0 = static_cast<float>(top) - 0.5f;
        p.q = q0;
        p.qx = (q1 - q0) / across;
        p.qy = (q2 - q0) / down;
        p.uq = u0 * q0;
        p.uqx = (u1 * q1 - u0 * q0) / across;
        p.uqy = (u2 * q2 - u0 * q0) / down;
        p.vq = v0 * q0;
        p.vqx = (v1 * q1 - v0 * q0) / across;
        p.vqy = (v2 * q2 - v0 * q0) / down;
        const bool bilinear = round % 3 != 0;
        TexelBox box;
        if (!FindTexelBox(p, left, right, top, bottom, width, height, bilinear ? 0.5f : 0.0f, box)) {
            continue;
        }
        ++bounded;
        const std::vector<uint32_t> texels(static_cast<size_t>(width * height));
        Sampler sampler{texels.data(), width, height, static_cast<float>(width), static_cast<float>(height)};
        for (int y = top; y <= bottom; ++y) {
            const int first = left + static_cast<int>(random() % static_cast<unsigned>(right - left + 1));
            const int last = first + static_cast<int>(random() % static_cast<unsigned>(right - first + 1));
            // The span's start as the rasteriser sets it up.
            SpanStart st{};
            const float ox = static_cast<float>(first) - p.x0, oy = static_cast<float>(y) - p.y0;
            st.q = p.q + p.qx * ox + p.qy * oy;
            st.dq = p.qx;
            st.uq = p.uq + p.uqx * ox + p.uqy * oy;
            st.duq = p.uqx;
            st.vq = p.vq + p.vqx * ox + p.vqy * oy;
            st.dvq = p.vqx;
            PerspectiveRuns runs(st, bilinear);
            TexelWalk walk{};
            for (int done = 0; done <= last - first; done += kPerspectiveRun) {
                const int n = std::min(kPerspectiveRun, last - first + 1 - done);
                runs.Begin(sampler, done, n, walk);
                for (int i = 0; i < n; ++i, walk.Next()) {
                    const int x = walk.u >> 16, yy = walk.v >> 16;
                    for (int k = 0; k < 2; ++k) {
                        ASSERT_TRUE(InAxis((x + k) % width, box.left, box.right, width))
                            << "round " << round << " row " << y << " pixel " << first + done + i;
                        ASSERT_TRUE(InAxis((yy + k) % height, box.top, box.bottom, height))
                            << "round " << round << " row " << y << " pixel " << first + done + i;
                    }
                }
            }
        }
    }
    EXPECT_GT(bounded, 300);
}

TEST(AlphaBlocks, BoxesAreClearWhereTheyWrapOntoNoVisibleBlock) {
    // 32 x 16 texels: 4 x 2 blocks, only block (3, 0) visible.
    std::vector<uint32_t> texels(32 * 16, 0x00FFFFFFu);
    texels[3 * 32 + 27] = 0x80000000u;
    const std::vector<uint8_t> blocks = FindAlphaBlocks(texels, 32, 16);
    const AlphaBlockMap map(blocks.data(), 32, 16);
    EXPECT_TRUE(map.BoxClear(0, 23, 0, 15));
    EXPECT_FALSE(map.BoxClear(0, 24, 7, 7));
    EXPECT_TRUE(map.BoxClear(24, 31, 8, 15));
    // Wrapped: column -1 is column 31, row 16 is row 0.
    EXPECT_FALSE(map.BoxClear(-8, -1, 0, 7));
    EXPECT_TRUE(map.BoxClear(-16, -9, 0, 7));
    EXPECT_FALSE(map.BoxClear(32 + 24, 32 + 24, 16, 16));
    EXPECT_TRUE(map.BoxClear(32 + 24, 32 + 24, 24, 24));
    // More than once around looks at each block once (and finds the visible one).
    EXPECT_FALSE(map.BoxClear(-100, 100, 2, 3));
    EXPECT_TRUE(map.BoxClear(-100, 100, 8, 9));
    // Nothing known: no map, an empty box, too many blocks to look at.
    EXPECT_FALSE(AlphaBlockMap().BoxClear(0, 1, 0, 1));
    EXPECT_FALSE(map.BoxClear(5, 4, 0, 1));
    const std::vector<uint32_t> clear(256 * 256, 0);
    const std::vector<uint8_t> clearBlocks = FindAlphaBlocks(clear, 256, 256);
    const AlphaBlockMap large(clearBlocks.data(), 256, 256);
    EXPECT_TRUE(large.BoxClear(0, 127, 0, 127));
    EXPECT_FALSE(large.BoxClear(0, 255, 0, 255));
}

// Random perspective triangles, point sampled and bilinear, over a mostly transparent texture that
// is minified up to several texels per pixel, under alpha tests that drop alpha 0 and one that
// keeps it: drawn with the texture's block map (rows over transparent blocks dropped), they give
// the picture they give without it.
TEST(TexelBox, RowsDroppedOverTransparentBlocksWouldHaveDrawnNothing) {
    constexpr int kWidth = 160, kHeight = 120, kSide = 64;
    std::mt19937 random(11);
    std::vector<uint32_t> texels(kSide * kSide, 0x00FF00FFu);
    for (int i = 0; i < 7; ++i) {
        texels[random() % texels.size()] = 0xFF000000u | (random() & 0xFFFFFFu);
    }
    const std::vector<uint8_t> blocks = FindAlphaBlocks(texels, kSide, kSide);
    for (const uint32_t alphaFunc : {kCmpGreater, kCmpNotEqual, kCmpLessEqual}) {
        std::vector<uint16_t> pictures[2], depths[2];
        for (int withMap = 0; withMap < 2; ++withMap) {
            pictures[withMap].assign(kWidth * kHeight, 0x1234);
            depths[withMap].assign(kWidth * kHeight, 0xFFFF);
            const RasterTarget target = Rgb565Target(pictures[withMap], depths[withMap], kWidth);
            PixelState s{};
            s.textured = true;
            s.sampler = {texels.data(), kSide, kSide, static_cast<float>(kSide), static_cast<float>(kSide)};
            if (withMap == 1) {
                s.sampler.alphaBlocks = AlphaBlockMap(blocks.data(), kSide, kSide);
            }
            s.colorSource = ColorSource::kModulate;
            s.alphaSource = ColorSource::kTexture;
            s.zTest = s.zWrite = true;
            s.zFunc = kCmpLessEqual;
            s.alphaTest = true;
            s.alphaFunc = alphaFunc;
            s.alphaRef = alphaFunc == kCmpLessEqual ? 200 : 0;
            s.blend = true;
            s.srcBlend = kBlendSrcAlpha;
            s.destBlend = kBlendInvSrcAlpha;
            s.dither = true;
            std::mt19937 shapes(7);
            const auto uniform = [&](float low, float high) {
                return std::uniform_real_distribution<float>(low, high)(shapes);
            };
            for (int i = 0; i < 300; ++i) {
                s.bilinearMag = s.bilinearMin = i % 4 != 0;
                const SpanShaders shaders(target, s);
                ScreenVertex v[3];
                const float u = uniform(-2.0f, 2.0f), vv = uniform(-2.0f, 2.0f);
                const float spread = i % 2 == 0 ? 0.5f : 6.0f;  // repeats across the triangle
                for (ScreenVertex& c : v) {
                    c = ScreenVertex{};
                    c.sx = uniform(-10.0f, kWidth + 10.0f);
                    c.sy = uniform(-10.0f, kHeight + 10.0f);
                    c.sz = uniform(0.0f, 1.0f);
                    c.rhw = uniform(0.05f, 1.0f);
                    c.r = c.g = c.b = c.a = 255.0f;
                    c.u = u + uniform(0.0f, spread);
                    c.v = vv + uniform(0.0f, spread);
                    SnapToGrid(c);
                }
                RasterizeTriangle(target, s, shaders, v[0], v[1], v[2]);
            }
        }
        EXPECT_EQ(pictures[0], pictures[1]) << "alpha function " << alphaFunc;
        EXPECT_EQ(depths[0], depths[1]) << "alpha function " << alphaFunc;
    }
}

}  // namespace
}  // namespace platform::device_detail
