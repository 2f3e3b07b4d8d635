// The span shaders of textured triangles in the common state, eight pixels at a time with SSE2 (every
// x86-64 has it): texels are fetched one by one, everything after them (modulation, alpha test, fog,
// blending, dithering to 565, depth test and writes) is done on eight 16-bit lanes, one per pixel.
// They give exactly the pixels of the scalar shaders.

#include "platform/device3d/span_parts.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>

#include "platform/device3d/alpha_blocks.h"
#include "platform/device3d/pixel.h"
#include "platform/device3d/span_lanes.h"
#include "platform/device3d/span_scalar.h"
#include "platform/device3d/span_texels.h"

namespace platform::device_detail {

#if defined(__SSE2__)
namespace {

// What a triangle's rows share: the draw's constants and everything worked out from the steps
// alone (the same in every row).
template <bool kPowerOfTwo>
struct TriangleConstants {
    AlphaRange alphaRange;
    __m128i fogR, fogG, fogB;
    int64_t depthStep;
    __m128i depthStepLo, depthStepHi;
    // The steppers' steps per pixel in the lanes of ToFixedLanes: red, green, blue, fog.
    __m128i colorSteps;
    std::optional<PowerOfTwoTexels> powerOfTwo;

    TriangleConstants(const PixelState& s, const SpanStart& st)
        : alphaRange(s.alphaFunc, s.alphaRef),
          fogR(_mm_set1_epi16(s.fogColor[0])),
          fogG(_mm_set1_epi16(s.fogColor[1])),
          fogB(_mm_set1_epi16(s.fogColor[2])),
          depthStep(DepthRamp(0.0f, st.dz).step),
          colorSteps(ToFixedLanes(_mm_setr_ps(st.dr, st.dg, st.db, st.dfog))) {
        // Lanes past the span's end may wrap; they are never written.
        const auto d = static_cast<uint32_t>(depthStep);
        depthStepLo = Spread(0, d);
        depthStepHi = _mm_add_epi32(depthStepLo, _mm_slli_epi32(_mm_set1_epi32(static_cast<int32_t>(d)), 2));
        if constexpr (kPowerOfTwo) {
            powerOfTwo.emplace(s.sampler);
        }
    }
};

// The shader for textures whose sides are powers of two or for others: each has only its own
// texel fetch in its loop, which leaves the compiler more registers for the rest.
template <bool kBilinear, bool kFog, bool kAlphaTest, bool kBlend, bool kPowerOfTwo>
[[gnu::always_inline]] inline void ShadeSpanInLanes(const RasterTarget& t, const PixelState& s,
                                                    const TriangleConstants<kPowerOfTwo>& triangle,
                                                    const SpanRow& row);

template <bool kBilinear, bool kFog, bool kAlphaTest, bool kBlend, bool kPowerOfTwo>
void ShadeRowsWith(const RasterTarget& t, const PixelState& s, const SpanRow* rows, int count) {
    const TriangleConstants<kPowerOfTwo> triangle(s, rows[0].start);
    for (int i = 0; i < count; ++i) {
        const SpanRow& row = rows[i];
        // A row of one pixel costs less a pixel at a time; from two pixels on (with the triangle's
        // set-up shared) eight lanes cost less.
        if (row.left == row.right) {
            ShadePixel<true, kBilinear, kFog, kAlphaTest, kBlend, true>(t, s, row.start, row.y, row.left,
                                                                        row.right);
        } else {
            ShadeSpanInLanes<kBilinear, kFog, kAlphaTest, kBlend, kPowerOfTwo>(t, s, triangle, row);
        }
    }
}

template <bool kBilinear, bool kFog, bool kAlphaTest, bool kBlend>
void ShadeRowsSse2(const RasterTarget& t, const PixelState& s, const SpanRow* rows, int count) {
    if (PowerOfTwoTexels::Fits(s.sampler)) {
        ShadeRowsWith<kBilinear, kFog, kAlphaTest, kBlend, true>(t, s, rows, count);
    } else {
        ShadeRowsWith<kBilinear, kFog, kAlphaTest, kBlend, false>(t, s, rows, count);
    }
}

template <bool kBilinear, bool kFog, bool kAlphaTest, bool kBlend, bool kPowerOfTwo>
void ShadeSpanInLanes(const RasterTarget& t, const PixelState& s,
                      const TriangleConstants<kPowerOfTwo>& triangle, const SpanRow& row) {
    const SpanStart& st = row.start;
    const int y = row.y, left = row.left;
    const int count = row.right - left + 1;
    auto* color = reinterpret_cast<uint16_t*>(t.color + static_cast<std::ptrdiff_t>(y) * t.colorPitch) + left;
    auto* depth = reinterpret_cast<uint16_t*>(t.depth + static_cast<std::ptrdiff_t>(y) * t.depthPitch) + left;
    const Quantiser quantiser(s.dither, y, left);
    const __m128i max255 = _mm_set1_epi16(255), max256 = _mm_set1_epi16(256);
    const __m128i laneIndex = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
    const __m128i depthBias = DepthBias();

    DepthLanes z(DepthRamp::WithStep(st.z, triangle.depthStep), count, triangle.depthStepLo,
                 triangle.depthStepHi);
    // The colour and fog steppers converted four values at a time.
    const __m128i values = ToFixedLanes(_mm_setr_ps(st.r, st.g, st.b, st.fog));
    StepperLanes r = StepperLanes::Of<0>(values, triangle.colorSteps);
    StepperLanes g = StepperLanes::Of<1>(values, triangle.colorSteps);
    StepperLanes b = StepperLanes::Of<2>(values, triangle.colorSteps);
    StepperLanes fog = StepperLanes::Of<3>(values, triangle.colorSteps);
    PerspectiveRuns runs(st, kBilinear);
    // The texture walks of up to kWalksAhead groups are set up before any of them is shaded: their
    // divisions then overlap the texel loads and mixing of the groups instead of each group's start
    // waiting on them.
    constexpr int kWalksAhead = 8;
    TexelWalk walks[kWalksAhead];
    const std::optional<PowerOfTwoTexels>& powerOfTwo = triangle.powerOfTwo;
    for (int done = 0; done < count; done += kGroup, color += kGroup, depth += kGroup) {
        const int n = std::min(kGroup, count - done);
        const int ahead = (done / kGroup) % kWalksAhead;
        if (ahead == 0) {
            for (int k = 0, at = done; k < kWalksAhead && at < count; ++k, at += kGroup) {
                runs.Begin(s.sampler, at, std::min(kGroup, count - at), walks[k]);
            }
        }
        TexelWalk& walk = walks[ahead];
        // The last group of a span may reach past it: the pixels there are written back as they were
        // (they are in this thread's row). Past the viewport's right edge it works on copies.
        alignas(16) uint16_t colorTail[kGroup] = {}, depthTail[kGroup] = {};
        uint16_t* colorAt = color;
        uint16_t* depthAt = depth;
        const bool copied = n < kGroup && left + done + kGroup > t.right;
        if (copied) {
            std::memcpy(colorTail, color, static_cast<size_t>(n) * 2);
            std::memcpy(depthTail, depth, static_cast<size_t>(n) * 2);
            colorAt = colorTail;
            depthAt = depthTail;
        }
        const __m128i inSpan = _mm_cmpgt_epi16(_mm_set1_epi16(static_cast<int16_t>(n)), laneIndex);
        const __m128i oldDepth =
            _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<__m128i*>(depthAt)), depthBias);
        const __m128i newDepth = z.Get();
        __m128i write = _mm_andnot_si128(_mm_cmpgt_epi16(newDepth, oldDepth), inSpan);
        int passed = _mm_movemask_epi8(write);
        // A group whose texels are all transparent in the blocks around them is dropped by the alpha
        // test whatever the mix: its texels are not fetched.
        if constexpr (kAlphaTest && kPowerOfTwo) {
            if (passed != 0 && !triangle.alphaRange.zeroPasses &&
                s.sampler.alphaBlocks.AllClear(walk.u, walk.v, walk.du, walk.dv, n)) {
                passed = 0;
            }
        }
        if (passed != 0) {
            TexelChannels texels{};
            if constexpr (kPowerOfTwo) {
                texels = kBilinear ? powerOfTwo->Bilinear(walk) : powerOfTwo->Point(walk);
            } else {
                alignas(16) uint32_t fetched[kGroup] = {};
                for (int i = 0; i < n; ++i, walk.Next()) {
                    fetched[i] = kBilinear ? walk.Bilinear(s.sampler) : walk.Point(s.sampler);
                }
                texels = SplitTexels(fetched);
            }
            const __m128i alpha = texels.alpha;
            if constexpr (kAlphaTest) {
                write = _mm_and_si128(write, triangle.alphaRange.Passes(alpha));
            }
            const int drawn = _mm_movemask_epi8(write);
            if (drawn != 0) {
                Channels c = texels.color;
                c.r = ModulateLanes(c.r, r.Get(max255));
                c.g = ModulateLanes(c.g, g.Get(max255));
                c.b = ModulateLanes(c.b, b.Get(max255));
                if constexpr (kFog) {
                    const __m128i keep = fog.Get(max256), lose = _mm_sub_epi16(max256, keep);
                    c.r = FogLanes(c.r, keep, lose, triangle.fogR);
                    c.g = FogLanes(c.g, keep, lose, triangle.fogG);
                    c.b = FogLanes(c.b, keep, lose, triangle.fogB);
                }
                // An opaque group that covers all eight pixels does not need the target's colour.
                __m128i pixels;
                if (kBlend || drawn != 0xFFFF) {
                    const __m128i oldColor = _mm_loadu_si128(reinterpret_cast<__m128i*>(colorAt));
                    if constexpr (kBlend) {
                        const Channels d = Widen565(oldColor);
                        const __m128i inverse = _mm_sub_epi16(max255, alpha);
                        c.r = BlendLanes(c.r, alpha, inverse, d.r);
                        c.g = BlendLanes(c.g, alpha, inverse, d.g);
                        c.b = BlendLanes(c.b, alpha, inverse, d.b);
                    }
                    pixels = Select(write, quantiser.Pack565(c.r, c.g, c.b), oldColor);
                } else {
                    pixels = quantiser.Pack565(c.r, c.g, c.b);
                }
                _mm_storeu_si128(reinterpret_cast<__m128i*>(colorAt), pixels);
                if (s.zWrite) {
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(depthAt),
                                     _mm_xor_si128(Select(write, newDepth, oldDepth), depthBias));
                }
                if (copied) {
                    std::memcpy(color, colorTail, static_cast<size_t>(n) * 2);
                    std::memcpy(depth, depthTail, static_cast<size_t>(n) * 2);
                }
            }
        }
        z.Next();
        r.Next();
        g.Next();
        b.Next();
        if constexpr (kFog) {
            fog.Next();
        }
    }
}

template <bool kBilinear, bool kFog>
RowShader ChooseBlending(const PixelState& s) {
    if (s.alphaTest) {
        return s.blend ? ShadeRowsSse2<kBilinear, kFog, true, true>
                       : ShadeRowsSse2<kBilinear, kFog, true, false>;
    }
    return s.blend ? ShadeRowsSse2<kBilinear, kFog, false, true>
                   : ShadeRowsSse2<kBilinear, kFog, false, false>;
}

template <bool kBilinear>
RowShader ChooseFog(const PixelState& s) {
    return s.fog ? ChooseBlending<kBilinear, true>(s) : ChooseBlending<kBilinear, false>(s);
}

}  // namespace

RowShader ChooseVectorRowShader(const RasterTarget& /*target*/, const PixelState& state, bool bilinear) {
    return bilinear ? ChooseFog<true>(state) : ChooseFog<false>(state);
}

#else

RowShader ChooseVectorRowShader(const RasterTarget& target, const PixelState& state, bool bilinear) {
    return ChooseScalarRowShader(target, state, bilinear);
}

#endif

}  // namespace platform::device_detail
