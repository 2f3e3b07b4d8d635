// The pixel shaders and the one-pixel triangles of the rasteriser draw what the span shaders draw.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "platform/device3d/raster.h"
#include "platform/device3d/span_parts.h"
#include "tests/platform/device3d/span_rows.h"

namespace platform::device_detail {
namespace {

// A span of one pixel drawn by the pixel shader and by the span shader gives the same pixel and depth,
// in the common state with every feature and in states the scalar shaders alone draw, whatever the
// steps (which the pixel shader must not read) and wherever the colours and fog lie.
TEST(SpanShaders, PixelShadersDrawTheSpanShadersPixel) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const std::vector<uint32_t> texels = Texels(random, 6 * 5);
    for (int variant = 0; variant < 5 * 32; ++variant) {
        const int features = variant % 32;
        PixelState state = WithFeatures(CommonState(texels, 6, 5), features);
        const bool bilinear = (features & 1) != 0;
        switch (variant / 32) {  // the common state, then states outside it
            case 1:
                state.specular = true;
                break;
            case 2:
                state.textured = false;
                state.colorSource = ColorSource::kDiffuse;
                state.alphaSource = ColorSource::kDiffuse;
                break;
            case 3:
                state.zFunc = kCmpGreater;
                state.colorSource = ColorSource::kTexture;
                break;
            case 4:
                state.srcBlend = kBlendOne;
                state.destBlend = kBlendOne;
                state.alphaSource = ColorSource::kModulate;
                break;
            default:
                break;
        }
        for (int x : {0, 1, 6, kWidth - 1}) {
            SpanStart st = RandomTextureStart(random, 40.0f);
            // Values from below their range to above it.
            float* values[] = {&st.r, &st.g, &st.b, &st.a, &st.fog, &st.sr, &st.sg, &st.sb};
            for (float* v : values) {
                *v = -30.0f + 320.0f * unit(random);
                v[1] = (unit(random) - 0.5f) * 600.0f;
            }
            Row before;
            for (int i = 0; i < kWidth; ++i) {
                before.color[i] = static_cast<uint16_t>(random());
                before.depth[i] = static_cast<uint16_t>(random());
            }
            const int offsets[] = {0, -1, 1};  // the pixel's depth ties, fails or passes
            before.depth[x] = static_cast<uint16_t>(
                std::clamp(DepthRamp(st.z, 0.0f).Get() + offsets[random() % 3], 0, 0xFFFF));
            Row span = before, pixel = before;
            RasterTarget spanTarget = span.Target(), pixelTarget = pixel.Target();
            ChooseSpanShader(spanTarget, state, bilinear)(spanTarget, state, st, 0, x, x);
            ChoosePixelShader(pixelTarget, state, bilinear)(pixelTarget, state, st, 0, x, x);
            for (int i = 0; i < kWidth; ++i) {
                ASSERT_EQ(span.color[i], pixel.color[i])
                    << "variant " << variant << " pixel " << x << " at " << i;
                ASSERT_EQ(span.depth[i], pixel.depth[i])
                    << "variant " << variant << " pixel " << x << " at " << i;
            }
        }
    }
}

// Tiny triangles (boxes of at most two pixel centres each way, most covering one pixel) in the
// common state without fog, alpha test or blending, whose one-pixel triangles have their pixel
// shader compiled into the rasteriser and their start values set up for the one pixel alone, draw
// what they draw through the draw's pixel shader from the planes of every attribute: the same
// pixels and depths, over depths that pass and fail, colours past their range, texture
// coordinates across several repeats, textures sampled bilinearly and at points, and triangles that
// read a smaller copy of the texture.
TEST(SpanShaders, OnePixelTrianglesInTheCommonStateDrawWhatThePixelShaderDraws) {
    constexpr int kRows = 24, kColumns = 40;  // the part of the kWidth-wide target drawn on
    std::mt19937 random(17);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const std::vector<uint32_t> texels = Texels(random, 7 * 5), halfTexels = Texels(random, 3 * 2);
    // Sampled bilinearly throughout, and bilinearly only where texels are larger than pixels.
    PixelState states[2] = {CommonState(texels, 7, 5), CommonState(texels, 7, 5)};
    PixelState halves[2];
    for (int k = 0; k < 2; ++k) {
        states[k].bilinearMag = true;
        states[k].bilinearMin = k == 0;
        halves[k] = states[k];
        halves[k].sampler = {halfTexels.data(), 3, 2, 3.0f, 2.0f};
    }

    std::vector<uint16_t> color(kWidth * kRows), depth(kWidth * kRows);
    for (uint16_t& c : color) {
        c = static_cast<uint16_t>(random());
    }
    const std::vector<uint16_t> before = color;
    std::vector<uint16_t> fusedColor = color, fusedDepth = depth;
    const RasterTarget plainTarget = Target(color, depth), fusedTarget = Target(fusedColor, fusedDepth);
    std::vector<SpanShaders> fused, plain;
    for (int k = 0; k < 2; ++k) {
        fused.emplace_back(fusedTarget, states[k]);
        fused[k].mipStates = &halves[k];
        fused[k].mipCount = 1;
        ASSERT_TRUE(fused[k].opaqueCommon);
        plain.push_back(fused[k]);
        plain[k].opaqueCommon = false;
        // Fog marked as read too (the shaders do not read it): plain's start values then come from
        // the planes of every attribute read, as a wider triangle's do, not from the one-pixel
        // set-up of depth, texture and colour alone.
        plain[k].attributes |= 1u << (offsetof(SpanStart, fog) / (2 * sizeof(float)));
    }
    PixelState fogged = states[0];
    fogged.fog = true;
    EXPECT_FALSE(SpanShaders(fusedTarget, fogged).opaqueCommon);

    const auto vertex = [&](float x, float y) {
        ScreenVertex v{};
        v.sx = x;
        v.sy = y;
        v.sz = unit(random);
        v.rhw = 0.25f + unit(random);
        for (float* c : {&v.r, &v.g, &v.b, &v.a}) {
            *c = -40.0f + 340.0f * unit(random);
        }
        // Texels larger than pixels (bilinear) or smaller (sampled at points, and the smaller copy
        // where a triangle spans many repeats).
        const float spreads[4] = {0.02f, 0.02f, 2.0f, 60.0f};
        const float spread = spreads[random() % 4];
        v.u = (unit(random) - 0.5f) * spread;
        v.v = (unit(random) - 0.5f) * spread;
        SnapToGrid(v);
        return v;
    };
    for (int i = 0; i < 8000; ++i) {
        if (i % 100 == 0) {  // new depths now and then, so that depth tests keep passing and failing
            for (size_t p = 0; p < depth.size(); ++p) {
                depth[p] = fusedDepth[p] = static_cast<uint16_t>(random());
            }
        }
        // Three corners of a box 0.3 to 1.9 pixels a side, moved a little: at most two pixel
        // centres each way, most often one covered.
        const float x = -1.0f + static_cast<float>(kColumns + 1) * unit(random);
        const float y = -1.0f + static_cast<float>(kRows + 1) * unit(random);
        const float w = 0.3f + 1.55f * unit(random), h = 0.3f + 1.55f * unit(random);
        const float cornerX[4] = {x, x + w, x, x + w}, cornerY[4] = {y, y, y + h, y + h};
        const auto corner = [&](int k) {
            return vertex(cornerX[k] + 0.05f * unit(random), cornerY[k] + 0.05f * unit(random));
        };
        const int left = static_cast<int>(random() % 4);  // the corner left out
        const ScreenVertex a = corner((left + 1) % 4), b = corner((left + 2) % 4), c = corner((left + 3) % 4);
        const int k = i % 2;
        RasterizeTriangle(plainTarget, states[k], plain[k], a, b, c);
        RasterizeTriangle(fusedTarget, states[k], fused[k], a, b, c);
    }
    int drawn = 0;
    for (size_t i = 0; i < color.size(); ++i) {
        ASSERT_EQ(fusedColor[i], color[i]) << "colour at " << i % kWidth << "," << i / kWidth;
        ASSERT_EQ(fusedDepth[i], depth[i]) << "depth at " << i % kWidth << "," << i / kWidth;
        drawn += color[i] != before[i] ? 1 : 0;
    }
    EXPECT_GT(drawn, kColumns * kRows * 3 / 4);  // most pixels were drawn, not all turned away by depth
}

}  // namespace
}  // namespace platform::device_detail
