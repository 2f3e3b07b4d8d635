// The pieces both kinds of span shader share: depth ramps, colour and fog steppers, texel walks
// and perspective runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/device3d/span_parts.h"
#include "tests/platform/device3d/span_rows.h"

namespace platform::device_detail {
namespace {

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

}  // namespace
}  // namespace platform::device_detail
