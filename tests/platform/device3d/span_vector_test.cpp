// The SSE2 span and row shaders draw exactly the pixels of the scalar ones.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/device3d/alpha_blocks.h"
#include "platform/device3d/span_parts.h"
#include "tests/platform/device3d/span_rows.h"

namespace platform::device_detail {
namespace {

// Every combination of the shader's features, spans of 1 to 20 pixels and some long enough for the
// vector shader to set up its texture walks more than once, starting at even and odd columns and
// ending at the viewport's edge, depths that tie, pass and fail, colours and fog running past
// their limits, on textures with sides that are and are not powers of two.
TEST(SpanShaders, VectorShadersDrawTheScalarShadersPixels) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const int sizes[][2] = {{8, 4}, {6, 5}, {64, 32}};
    for (const auto& size : sizes) {
        const std::vector<uint32_t> texels = Texels(random, size[0] * size[1]);
        for (int features = 0; features < 32; ++features) {
            const PixelState state = WithFeatures(CommonState(texels, size[0], size[1]), features);
            const bool bilinear = (features & 1) != 0;
            std::vector<int> lengths = {63, 64, 65, 72, 129, 150};
            for (int length = 1; length <= 20; ++length) {
                lengths.push_back(length);
            }
            for (const int length : lengths) {
                // Near the row's start, or ending at or just before the viewport's right edge.
                const int left =
                    length % 2 == 0 ? (length * 7 + features) % 9 : kWidth - length - features % 3;
                const int right = left + length - 1;
                SpanStart st = RandomTextureStart(random, 0.5f);
                if (length % 5 == 0) {  // several repeats of the texture per pixel
                    st.duq *= 40.0f;
                }
                // Colours from below 0 to above 255 along the span, fog likewise past 0 and 256.
                st.r = -20.0f + 300.0f * unit(random);
                st.dr = (unit(random) - 0.5f) * 60.0f;
                st.g = 255.0f * unit(random);
                st.dg = (unit(random) - 0.5f) * 4.0f;
                st.b = 250.0f + 10.0f * unit(random);
                st.db = unit(random) * 3.0f;
                st.fog = 256.0f * unit(random);
                st.dfog = (unit(random) - 0.5f) * 80.0f;
                if (length % 6 == 1) {  // values and steps past the steppers' range, and not numbers
                    st.r = 3.0e4f;
                    st.dg = -1.0e9f;
                    st.b = std::numeric_limits<float>::infinity();
                    st.dfog = std::numeric_limits<float>::quiet_NaN();
                    st.fog = (features & 2) != 0 ? -5.0e4f : std::numeric_limits<float>::quiet_NaN();
                }

                // Depth on the row: a tie, one nearer (fails) or one further (passes) per pixel.
                Row before;
                DepthRamp ramp(st.z, st.dz);
                for (int x = 0; x < kWidth; ++x) {
                    before.color[x] = static_cast<uint16_t>(random());
                    const int own = x >= left && x <= right ? ramp.Get() : 0x8000;
                    const int offsets[] = {0, -1, 1};
                    before.depth[x] =
                        static_cast<uint16_t>(std::clamp(own + offsets[random() % 3], 0, 0xFFFF));
                    if (x >= left && x <= right) {
                        ramp.Next();
                    }
                }
                ExpectSameRow(state, bilinear, st, before, left, right,
                              "features " + std::to_string(features) + ", texture " +
                                  std::to_string(size[0]) + "x" + std::to_string(size[1]) + ", span " +
                                  std::to_string(left) + ".." + std::to_string(right));
            }
        }
    }
}

// A texture whose blocks are transparent but for a few, and for one texel in the last column and
// row (whose bilinear quads wrap): the alpha-tested vector shaders skip the texels of groups that lie
// in transparent blocks, and still draw every pixel as the scalar ones do.
TEST(SpanShaders, VectorShadersSkippingTransparentBlocksDrawTheScalarShadersPixels) {
    constexpr int kSide = 4 * kAlphaBlockSide;
    std::mt19937 random(11);
    std::vector<uint32_t> texels = Texels(random, kSide * kSide);
    for (int i = 0; i < kSide * kSide; ++i) {
        const int blockX = i % kSide / kAlphaBlockSide, blockY = i / kSide / kAlphaBlockSide;
        if ((blockX + 3 * blockY) % 5 != 0) {
            texels[static_cast<size_t>(i)] &= 0x00FFFFFFu;
        }
    }
    texels[static_cast<size_t>(kSide * kSide - 1)] |= 0xFF000000u;
    const std::vector<uint8_t> blocks = FindAlphaBlocks(texels, kSide, kSide);
    ASSERT_FALSE(blocks.empty());
    for (int features = 4; features < 32; features += (features & 4) != 0 ? 1 : 4) {  // alpha-tested
        PixelState state = WithFeatures(CommonState(texels, kSide, kSide), features);
        state.sampler.alphaBlocks = AlphaBlockMap(blocks.data(), kSide, kSide);
        for (int span = 0; span < 40; ++span) {
            const int length = 9 + span * 3;
            const int left = span % 2 == 0 ? span % 7 : kWidth - length;
            SpanStart st = RandomTextureStart(random, 0.06f);
            st.r = st.g = st.b = 200.0f;
            st.fog = 100.0f;
            Row before;
            for (int x = 0; x < kWidth; ++x) {
                before.color[x] = static_cast<uint16_t>(random());
                before.depth[x] = 0xFFFF;
            }
            ExpectSameRow(state, (features & 1) != 0, st, before, left, left + length - 1,
                          "features " + std::to_string(features) + ", span " + std::to_string(span));
        }
    }
}

// Rows of one triangle in one call: every row has its own start and length (one pixel, too short for
// lanes, long), the steps are the triangle's. The vector row shader gives what the scalar one gives
// row by row, and leaves the rows' other pixels alone.
TEST(SpanShaders, VectorRowShadersDrawEachRowAsTheScalarOnes) {
    constexpr int kRows = 7;
    std::mt19937 random(5);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const int sizes[][2] = {{8, 4}, {6, 5}};
    for (const auto& size : sizes) {
        const std::vector<uint32_t> texels = Texels(random, size[0] * size[1]);
        for (int features = 0; features < 32; ++features) {
            const PixelState state = WithFeatures(CommonState(texels, size[0], size[1]), features);
            const bool bilinear = (features & 1) != 0;
            const SpanStart steps = RandomTextureStart(random, 0.7f);
            std::vector<SpanRow> rows;
            const int lengths[kRows] = {1, 9, 3, 27, 2, 70, 16};
            for (int y = 0; y < kRows; ++y) {
                SpanRow row{RandomTextureStart(random, 0.7f), y, (features + 5 * y) % 11, 0};
                row.right = std::min(kWidth - 1, row.left + lengths[(y + features) % kRows] - 1);
                // The triangle's steps; colours and fog start anywhere, past their limits too.
                row.start.dz = steps.dz;
                row.start.dq = steps.dq;
                row.start.duq = steps.duq;
                row.start.dvq = steps.dvq;
                float* values[] = {&row.start.r, &row.start.g, &row.start.b, &row.start.a, &row.start.fog};
                for (float* v : values) {
                    *v = -20.0f + 300.0f * unit(random);
                    v[1] = 3.0f;
                }
                row.start.dfog = -9.0f;
                rows.push_back(row);
            }
            std::vector<uint16_t> color(kWidth * kRows), depth(kWidth * kRows);
            for (size_t i = 0; i < color.size(); ++i) {
                color[i] = static_cast<uint16_t>(random());
                depth[i] = static_cast<uint16_t>(random() % 3 == 0 ? 0 : 0xFFFF);
            }
            std::vector<uint16_t> scalarColor = color, scalarDepth = depth;
            const RasterTarget vectorTarget = Target(color, depth),
                               scalarTarget = Target(scalarColor, scalarDepth);
            ChooseVectorRowShader(vectorTarget, state, bilinear)(vectorTarget, state, rows.data(), kRows);
            ChooseScalarRowShader(scalarTarget, state, bilinear)(scalarTarget, state, rows.data(), kRows);
            for (int i = 0; i < kWidth * kRows; ++i) {
                ASSERT_EQ(color[i], scalarColor[i])
                    << "features " << features << " row " << i / kWidth << " x " << i % kWidth;
                ASSERT_EQ(depth[i], scalarDepth[i])
                    << "features " << features << " row " << i / kWidth << " x " << i % kWidth;
            }
        }
    }
}

}  // namespace
}  // namespace platform::device_detail
