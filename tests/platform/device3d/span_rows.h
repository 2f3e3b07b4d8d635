#pragma once
// Rows of a 565 target that the span shader tests draw into, the common state they draw in, random
// texels and starts, and the comparison of a scalar and a vector shader's row.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/device3d/span_parts.h"
#include "tests/platform/device3d/rgb565_target.h"

namespace platform::device_detail {

// One row of a 565 target with depth, drawn by a scalar and by a vector shader from the same start.
inline constexpr int kWidth = 160;

// A 565 target with depth, kWidth pixels wide.
inline RasterTarget Target(std::vector<uint16_t>& color, std::vector<uint16_t>& depth) {
    return Rgb565Target(color, depth, kWidth);
}

struct Row {
    std::vector<uint16_t> color = std::vector<uint16_t>(kWidth);
    std::vector<uint16_t> depth = std::vector<uint16_t>(kWidth);

    RasterTarget Target() { return device_detail::Target(color, depth); }
};

inline PixelState CommonState(const std::vector<uint32_t>& texels, int width, int height) {
    PixelState s{};
    s.textured = true;
    s.sampler = {texels.data(), width, height, static_cast<float>(width), static_cast<float>(height)};
    s.colorSource = ColorSource::kModulate;
    s.alphaSource = ColorSource::kTexture;
    s.zTest = true;
    s.zWrite = true;
    s.zFunc = kCmpLessEqual;
    s.alphaFunc = kCmpGreaterEqual;
    s.alphaRef = 8;
    s.srcBlend = kBlendSrcAlpha;
    s.destBlend = kBlendInvSrcAlpha;
    s.fogColor[0] = 200;
    s.fogColor[1] = 7;
    s.fogColor[2] = 255;
    s.dither = true;
    return s;
}

// Draws the span with both shaders over the same row and expects the same pixels and depths.
inline void ExpectSameRow(const PixelState& state, bool bilinear, const SpanStart& start, const Row& before,
                          int left, int right, const std::string& what) {
    Row scalar = before, vector = before;
    RasterTarget scalarTarget = scalar.Target(), vectorTarget = vector.Target();
    ASSERT_TRUE(IsCommonState(scalarTarget, state));
    ChooseSpanShader(scalarTarget, state, bilinear)(scalarTarget, state, start, 0, left, right);
    const SpanRow row{start, 0, left, right};
    ChooseVectorRowShader(vectorTarget, state, bilinear)(vectorTarget, state, &row, 1);
    for (int x = 0; x < kWidth; ++x) {
        ASSERT_EQ(scalar.color[x], vector.color[x]) << what << " colour at x " << x;
        ASSERT_EQ(scalar.depth[x], vector.depth[x]) << what << " depth at x " << x;
        if (x < left || x > right) {
            ASSERT_EQ(vector.color[x], before.color[x]) << what << " drawn outside the span at x " << x;
            ASSERT_EQ(vector.depth[x], before.depth[x]) << what << " depth outside the span at x " << x;
        }
    }
}

// Random texels with fully transparent and fully opaque ones among them.
inline std::vector<uint32_t> Texels(std::mt19937& random, int count) {
    std::vector<uint32_t> texels(static_cast<size_t>(count));
    for (uint32_t& t : texels) {
        t = random();
        const uint32_t kind = random() % 4;
        t = kind == 0 ? t & 0x00FFFFFFu : (kind == 1 ? t | 0xFF000000u : t);
    }
    return texels;
}

// The common state with the features of bits 0-4 of features (bit 0: bilinear, which the caller
// passes to the shader) and the depth writes, alpha function and reference of its other values.
inline PixelState WithFeatures(PixelState state, int features) {
    state.fog = (features & 2) != 0;
    state.alphaTest = (features & 4) != 0;
    state.blend = (features & 8) != 0;
    state.dither = (features & 16) == 0;
    state.zWrite = features % 3 != 0;
    state.alphaFunc = static_cast<uint32_t>(kCmpNever + features % 8);
    state.alphaRef = static_cast<uint32_t>(features * 37 % 300);
    return state;
}

// Random depth and texture coordinates whose steps reach up to about step across a pixel.
inline SpanStart RandomTextureStart(std::mt19937& random, float step) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    SpanStart st{};
    st.z = unit(random);
    st.dz = (unit(random) - 0.5f) * 0.04f * step;
    st.q = 0.5f + unit(random);
    st.dq = (unit(random) - 0.5f) * 0.04f * step;
    st.uq = (unit(random) - 0.5f) * 8.0f;
    st.duq = (unit(random) - 0.5f) * step;
    st.vq = (unit(random) - 0.5f) * 8.0f;
    st.dvq = (unit(random) - 0.5f) * step;
    return st;
}

}  // namespace platform::device_detail
