#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/device3d/alpha_blocks.h"
#include "platform/device3d/raster.h"
#include "platform/device3d/span_parts.h"
#include "tests/platform/device3d/rgb565_target.h"

namespace platform::device_detail {
namespace {

// One row of a 565 target with depth, drawn by a scalar and by a vector shader from the same start.
constexpr int kWidth = 160;

// A 565 target with depth, kWidth pixels wide.
RasterTarget Target(std::vector<uint16_t>& color, std::vector<uint16_t>& depth) {
    return Rgb565Target(color, depth, kWidth);
}

struct Row {
    std::vector<uint16_t> color = std::vector<uint16_t>(kWidth);
    std::vector<uint16_t> depth = std::vector<uint16_t>(kWidth);

    RasterTarget Target() { return device_detail::Target(color, depth); }
};

PixelState CommonState(const std::vector<uint32_t>& texels, int width, int height) {
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
void ExpectSameRow(const PixelState& state, bool bilinear, const SpanStart& start, const Row& before,
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
std::vector<uint32_t> Texels(std::mt19937& random, int count) {
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
PixelState WithFeatures(PixelState state, int features) {
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
SpanStart RandomTextureStart(std::mt19937& random, float step) {
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

// Depth at and past both ends of the range, and gradients too steep for 32-bit steps: both shaders
// clamp to 0..0xFFFF, and a pixel whose depth equals the stored one is drawn.
TEST(SpanShaders, DepthClampsAndTiesPassAtLessOrEqual) {
    const std::vector<uint32_t> texels(16, 0xFFFFFFFFu);
    PixelState state = CommonState(texels, 4, 4);
    const struct {
        float z, dz;
    } ramps[] = {{-0.05f, 0.01f}, {0.97f, 0.01f}, {0.5f, 3.0e4f},
                 {0.5f, -3.0e4f}, {1.0f, 0.0f},   {0.0f, 0.0f}};
    for (const auto& r : ramps) {
        for (int length = 1; length <= 17; ++length) {
            SpanStart st{};
            st.z = r.z;
            st.dz = r.dz;
            st.q = 1.0f;
            st.r = st.g = st.b = 255.0f;
            Row before;
            DepthRamp ramp(st.z, st.dz);
            for (int x = 3; x < 3 + length; ++x, ramp.Next()) {
                before.depth[x] = ramp.Get();  // every pixel ties
            }
            const std::string what = "z " + std::to_string(r.z) + " dz " + std::to_string(r.dz) + " length " +
                                     std::to_string(length);
            ExpectSameRow(state, false, st, before, 3, 2 + length, what);
            Row drawn = before;
            RasterTarget target = drawn.Target();
            const SpanRow row{st, 0, 3, 2 + length};
            ChooseVectorRowShader(target, state, false)(target, state, &row, 1);
            for (int x = 3; x < 3 + length; ++x) {
                EXPECT_NE(drawn.color[x], 0) << what << " tie not drawn at x " << x;
            }
        }
    }
    EXPECT_EQ(DepthRamp(-0.5f, 0.0f).Get(), 0);
    EXPECT_EQ(DepthRamp(1.5f, 0.0f).Get(), 0xFFFF);
    EXPECT_EQ(DepthRamp(0.5f, 0.0f).Get(), 32768);
    EXPECT_EQ(DepthRamp(std::numeric_limits<float>::quiet_NaN(), 0.0f).Get(), 0);
}

// A colour or fog value read once gives, without a clamp, what the stepper's clamped reading gives:
// at, below and above every half (where rounding changes), around both ends of the range and the
// stepper's own limits, infinities and not-a-number.
TEST(SpanShaders, ValuesReadOnceReadAsTheClampedStepper) {
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> values = {
        0.0f,     -0.0f,    inf,       -inf,    std::numeric_limits<float>::quiet_NaN(),
        16384.0f, 16385.0f, -16385.0f, 1.0e30f, -1.0e30f};
    for (int whole = -3; whole <= 260; ++whole) {
        for (const float at : {static_cast<float>(whole), static_cast<float>(whole) + 0.25f,
                               static_cast<float>(whole) + 0.5f}) {
            values.insert(values.end(), {at, std::nextafter(at, -inf), std::nextafter(at, inf)});
        }
    }
    for (const int max : {255, 256}) {
        for (const float v : values) {
            ASSERT_EQ(Stepper::ReadOnce(v, max).Get<false>(max), Stepper(v, 0.0f).Get(max))
                << "value " << v << " max " << max;
        }
    }
}

// A texel walk placed at (u, v) starts each axis where Start puts that axis alone: coordinates in
// and far outside the first repeat, whole numbers and the floats either side of them (just below
// a whole number the position rounds up to the texture's far edge and wraps), -0, the limit of
// 1e9 repeats, infinities and not-a-number, for point and bilinear offsets and several sizes.
TEST(SpanShaders, TexelWalksStartBothAxesAsEachAlone) {
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> coordinates = {0.0f,     -0.0f,    1.0e9f, -1.0e9f,
                                      2.0e9f,   inf,      -inf,   std::numeric_limits<float>::quiet_NaN(),
                                      1.0e-30f, -1.0e-30f};
    for (float whole = -3.0f; whole <= 3.0f; whole += 1.0f) {
        coordinates.insert(coordinates.end(), {whole, std::nextafter(whole, -inf), std::nextafter(whole, inf),
                                               whole + 0.5f, whole + 0.999f});
    }
    std::mt19937 random(23);
    std::uniform_real_distribution<float> spread(-40.0f, 40.0f);
    for (int i = 0; i < 200; ++i) {
        coordinates.push_back(spread(random));
    }
    const std::vector<uint32_t> texels(2048 * 3, 0u);
    for (const int width : {1, 3, 7, 256, 2048}) {
        const Sampler sampler{texels.data(), width, 3, static_cast<float>(width), 3.0f};
        for (const float offset : {0.0f, 0.5f}) {
            for (size_t k = 0; k < coordinates.size(); ++k) {
                const float u = coordinates[k], v = coordinates[(k * 7 + 3) % coordinates.size()];
                TexelWalk walk{};
                walk.StartAt(sampler, offset, u, v);
                ASSERT_EQ(walk.u, TexelWalk::Start(u, sampler.widthF, width << 16, offset))
                    << "u " << u << " width " << width << " offset " << offset;
                ASSERT_EQ(walk.v, TexelWalk::Start(v, sampler.heightF, 3 << 16, offset))
                    << "v " << v << " offset " << offset;
            }
        }
    }
}

// Across a span in perspective, the texel walk stays near the exact texture position of each pixel:
// within a hundredth of a texel where a run of kPerspectiveRun pixels starts, and within a texel
// inside a run (the walk steps in a straight line there), on both axes, for spans receding either way.
TEST(SpanShaders, PerspectiveRunsFollowTheTextureInPerspective) {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> q(0.5f, 2.0f), dq(-0.004f, 0.004f), start(0.1f, 0.4f),
        travel(-0.2f, 0.2f);
    const std::vector<uint32_t> texels(256 * 128, 0u);
    const Sampler sampler{texels.data(), 256, 128, 256.0f, 128.0f};
    constexpr int kPixels = 37;
    // The distance in texels between a walk's fixed-point position and an exact one, across the wrap.
    const auto apart = [](int32_t fixed, double texels, int size) {
        const double d = std::fmod(std::fabs(fixed / 65536.0 - texels), size);
        return std::min(d, size - d);
    };
    for (int i = 0; i < 500; ++i) {
        SpanStart st{};
        st.q = q(random);
        st.dq = dq(random);
        st.uq = start(random) * st.q;
        st.vq = start(random) * st.q;
        st.duq = travel(random) / kPixels;
        st.dvq = travel(random) / kPixels;
        PerspectiveRuns runs(st, false);
        TexelWalk walk{};
        for (int run = 0; run < kPixels; run += kPerspectiveRun) {
            const int n = std::min(kPerspectiveRun, kPixels - run);
            runs.Begin(sampler, run, n, walk);
            for (int k = 0; k < n; ++k, walk.Next()) {
                const double w = double{st.q} + double{st.dq} * (run + k);
                const double u = (double{st.uq} + double{st.duq} * (run + k)) / w * 256.0;
                const double v = (double{st.vq} + double{st.dvq} * (run + k)) / w * 128.0;
                const double near = k == 0 ? 0.01 : 1.0;
                ASSERT_LT(apart(walk.u, u, 256), near) << "u at pixel " << run + k << ", case " << i;
                ASSERT_LT(apart(walk.v, v, 128), near) << "v at pixel " << run + k << ", case " << i;
            }
        }
    }
}

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
