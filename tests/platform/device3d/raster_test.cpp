#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/device3d/raster.h"
#include "tests/platform/device3d/rgb565_target.h"

namespace platform::device_detail {
namespace {

// The texture is halved while the texel area is at least four times the pixel area: the level is
// the number of quarterings that keep it so.
int LevelByQuartering(float texelArea2, float screenArea2, int levels) {
    int level = 0;
    for (float ratio = texelArea2; level < levels && ratio >= 4.0f * screenArea2; ratio *= 0.25f) {
        ++level;
    }
    return level;
}

// Texel areas exactly at, just below and just above every boundary between levels, at the ends of
// the float range and not a number, over pixel areas of the snapped grid and beyond it.
TEST(MipLevels, EveryBoundaryGivesTheLevelOfQuartering) {
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> screens = {1.0f / 256.0f,   3.0f / 256.0f, 0.5f,   1.0f,
                                  255.0f / 256.0f, 1000.0f,       4.0e9f, 0.0f,
                                  -1.0f,           1.0e-30f,      inf};
    std::mt19937 random(5);
    for (int i = 0; i < 40; ++i) {
        screens.push_back(static_cast<float>(random() % 100000 + 1) / 256.0f);
    }
    for (float screen : screens) {
        std::vector<float> texels = {0.0f,
                                     -1.0f,
                                     inf,
                                     std::numeric_limits<float>::quiet_NaN(),
                                     std::numeric_limits<float>::denorm_min(),
                                     3.0e38f};
        for (float boundary = 4.0f * screen; boundary > 0.0f && boundary < 1.0e38f && texels.size() < 200;
             boundary *= 4.0f) {
            texels.insert(texels.end(), {boundary, std::nextafter(boundary, 0.0f),
                                         std::nextafter(boundary, inf), boundary * 1.5f});
        }
        for (float texel : texels) {
            for (int levels : {0, 1, 3, 16}) {
                ASSERT_EQ(MipLevel(texel, screen, levels), LevelByQuartering(texel, screen, levels))
                    << "texel area " << texel << ", screen area " << screen << ", levels " << levels;
            }
        }
    }
}

// A triangle reads the copy of its texture with at most about four texels per pixel: how many
// texels it holds comes from its texture coordinates and the texture's width and height, which
// differ here (a texture four times as wide as high, and one four times as high as wide), so that
// mixing them up gives another copy. Every copy is one colour; triangles that cover one pixel and
// triangles of many pixels, at texel-per-pixel ratios between the levels' boundaries.
TEST(MipLevels, TrianglesReadTheTextureCopyOfTheirTexelsPerPixel) {
    constexpr int kSide = 32;
    // Full-size copy and its halvings in 565 red, green, blue and white.
    const uint32_t colors[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
    const uint16_t drawn[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
    for (const bool wide : {true, false}) {
        const int width = wide ? 16 : 4, height = wide ? 4 : 16;
        std::vector<std::vector<uint32_t>> texels;
        PixelState states[4];
        for (int level = 0; level < 4; ++level) {
            const int w = std::max(1, width >> level), h = std::max(1, height >> level);
            texels.emplace_back(static_cast<size_t>(w * h), colors[level]);
            PixelState& s = states[level];
            s = PixelState{};
            s.textured = true;
            s.sampler = {texels.back().data(), w, h, static_cast<float>(w), static_cast<float>(h)};
            s.colorSource = ColorSource::kModulate;
            s.alphaSource = ColorSource::kTexture;
        }
        // A right triangle with legs of the given length in pixels and of side texture repeats,
        // its first corner at (x, y): twice its area holds side^2 * width * height texels over
        // legs^2 pixels.
        for (const float legs : {1.5f, 8.0f}) {
            for (int level = 0; level < 4; ++level) {
                // Ratios of 2, 8, 32 and 128 texels per pixel: level 0 below the first boundary (4),
                // each next one between two boundaries.
                const float ratio = 2.0f * static_cast<float>(1 << (2 * level));
                const float side = std::sqrt(ratio * legs * legs / static_cast<float>(width * height));
                std::vector<uint16_t> color(kSide * kSide), depth(kSide * kSide, 0xFFFF);
                const RasterTarget target = Rgb565Target(color, depth, kSide);
                SpanShaders shaders(target, states[0]);
                shaders.mipStates = &states[1];
                shaders.mipCount = 3;
                const auto vertex = [](float x, float y, float u, float v) {
                    ScreenVertex s{};
                    s.sx = x;
                    s.sy = y;
                    s.sz = 0.5f;
                    s.rhw = 1.0f;
                    s.r = s.g = s.b = s.a = 255.0f;
                    s.u = u;
                    s.v = v;
                    SnapToGrid(s);
                    return s;
                };
                // Corners at sixteenths of a pixel, so that the snapped triangle is the exact one;
                // the smaller one covers the pixel centre (4, 4) alone.
                const float x = 3.625f, y = 3.625f;
                RasterizeTriangle(target, states[0], shaders, vertex(x, y, 0.0f, 0.0f),
                                  vertex(x + legs, y, side, 0.0f), vertex(x, y + legs, 0.0f, side));
                const std::string what = std::string(wide ? "wide" : "high") + " texture, legs " +
                                         std::to_string(legs) + ", ratio " + std::to_string(ratio);
                EXPECT_EQ(color[4 * kSide + 4], drawn[level]) << what;
                EXPECT_EQ(color[4 * kSide + 5], legs > 2.0f ? drawn[level] : uint16_t{0}) << what;
            }
        }
    }
}

}  // namespace
}  // namespace platform::device_detail
