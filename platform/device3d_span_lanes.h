#pragma once
// The span shaders of textured triangles in the common state, eight pixels at a time on 16-bit lanes:
// texels are fetched per pixel, everything after them (modulation, alpha test, fog, blending,
// dithering to 565, depth test and writes) is done on eight lanes, one per pixel. They give exactly
// the pixels of the scalar shaders.
//
// One source, built twice: for SSE2, which every x86-64 has (device3d_span_sse2.cpp), and for AVX2
// (device3d_span_avx2.cpp, which defines DEVICE3D_SPAN_AVX2 before including this), chosen at run
// time. Everything here has internal linkage, so that each build keeps its own copy; what this file
// includes is included before the instruction set is switched, so that the inline functions it
// shares with other files stay baseline code.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>

#include "platform/device3d_pixel.h"
#include "platform/device3d_span_parts.h"
#include "platform/device3d_span_scalar.h"

#if defined(__SSE2__)
#include <immintrin.h>

#if defined(DEVICE3D_SPAN_AVX2)
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
#endif

namespace platform::device_detail {
namespace {

constexpr int kGroup = kPerspectiveRun;  // a group of pixels is one run of texture coordinates
static_assert(kGroup == 8, "eight 16-bit lanes per group");

// Spans shorter than this are shaded a pixel at a time: setting up the lanes costs more than it saves.
constexpr int kShortSpan = 4;

// start + i * step for i = 0..3 in 32-bit lanes (wrapping).
__m128i Spread(uint32_t start, uint32_t step) {
    const __m128i d = _mm_set1_epi32(static_cast<int32_t>(step));
    const __m128i odd = _mm_and_si128(d, _mm_setr_epi32(0, -1, 0, -1));
    const __m128i upper = _mm_and_si128(_mm_add_epi32(d, d), _mm_setr_epi32(0, 0, -1, -1));
    return _mm_add_epi32(_mm_set1_epi32(static_cast<int32_t>(start)), _mm_add_epi32(odd, upper));
}

// A Stepper's values at the eight pixels of a group, in 32-bit lanes, moved on a group at a time.
struct StepperLanes {
    __m128i lo, hi, groupStep;

    explicit StepperLanes(const Stepper& s) {
        lo = Spread(s.value, s.step);
        const __m128i four = _mm_slli_epi32(_mm_set1_epi32(static_cast<int32_t>(s.step)), 2);
        hi = _mm_add_epi32(lo, four);
        groupStep = _mm_add_epi32(four, four);
    }
    void Next() {
        lo = _mm_add_epi32(lo, groupStep);
        hi = _mm_add_epi32(hi, groupStep);
    }
    // The whole parts clamped to 0 .. max, in 16-bit lanes (as Stepper::Get).
    __m128i Get(__m128i max) const {
        const __m128i whole = _mm_packs_epi32(_mm_srai_epi32(lo, 16), _mm_srai_epi32(hi, 16));
        return _mm_min_epi16(_mm_max_epi16(whole, _mm_setzero_si128()), max);
    }
};

// Depth values take 16-bit lanes less 0x8000, so that signed comparisons order them as unsigned.
__m128i DepthBias() {
    return _mm_set1_epi16(static_cast<int16_t>(0x8000));
}

// The quantised depth of a group's pixels (as DepthRamp::Get), biased.
class DepthLanes {
  public:
    DepthLanes(const DepthRamp& ramp, int count) : ramp_(ramp), inLanes_(ramp.FitsLanes(count)) {
        // Lanes past the span's end may wrap; they are never written.
        const auto d = static_cast<uint32_t>(ramp.step);
        stepLo_ = Spread(0, d);
        stepHi_ = _mm_add_epi32(stepLo_, _mm_slli_epi32(_mm_set1_epi32(static_cast<int32_t>(d)), 2));
    }
    __m128i Get() const {
        if (!inLanes_) {  // a gradient too steep for 32 bits: each pixel on its own
            alignas(16) uint16_t values[kGroup];
            for (int i = 0; i < kGroup; ++i) {
                values[i] = DepthRamp::Quantize(ramp_.value + ramp_.step * i);
            }
            return _mm_xor_si128(_mm_load_si128(reinterpret_cast<const __m128i*>(values)), DepthBias());
        }
        const __m128i first = _mm_set1_epi32(static_cast<int32_t>(ramp_.value));
        const __m128i bias = _mm_set1_epi32(0x8000);
        const __m128i lo =
            _mm_sub_epi32(_mm_srai_epi32(_mm_add_epi32(first, stepLo_), DepthRamp::kFraction), bias);
        const __m128i hi =
            _mm_sub_epi32(_mm_srai_epi32(_mm_add_epi32(first, stepHi_), DepthRamp::kFraction), bias);
        return _mm_packs_epi32(lo, hi);  // saturation clamps to 0 .. 0xFFFF
    }
    void Next() { ramp_.value += ramp_.step * kGroup; }

  private:
    DepthRamp ramp_;
    bool inLanes_;
    __m128i stepLo_, stepHi_;
};

// The alpha test as a range of passing values, inverted for not-equal.
struct AlphaRange {
    __m128i below, above, invert;  // passes where below < alpha < above, then xor invert

    AlphaRange(uint32_t func, uint32_t reference) {
        const int ref = static_cast<int>(std::min<uint32_t>(reference, 256));
        int lo = 0, hi = 255;
        bool inverted = false;
        switch (func) {
            case kCmpNever:
                lo = 1;
                hi = 0;
                break;
            case kCmpLess:
                hi = std::min(ref - 1, 255);
                break;
            case kCmpNotEqual:
                inverted = true;
                [[fallthrough]];
            case kCmpEqual:
                lo = hi = ref;
                break;
            case kCmpLessEqual:
                hi = std::min(ref, 255);
                break;
            case kCmpGreater:
                lo = ref + 1;
                break;
            case kCmpGreaterEqual:
                lo = ref;
                break;
            default:
                break;
        }
        below = _mm_set1_epi16(static_cast<int16_t>(lo - 1));
        above = _mm_set1_epi16(static_cast<int16_t>(hi + 1));
        invert = inverted ? _mm_set1_epi16(-1) : _mm_setzero_si128();
    }
    __m128i Passes(__m128i alpha) const {
        return _mm_xor_si128(_mm_and_si128(_mm_cmpgt_epi16(alpha, below), _mm_cmpgt_epi16(above, alpha)),
                             invert);
    }
};

// The dither added before quantising (see Quantiser) for eight pixels from column x: [y & 3][x & 3].
struct DitherTable {
    alignas(16) int16_t lanes[4][4][kGroup];
};

constexpr DitherTable MakeDitherTable() {
    DitherTable t{};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            for (int i = 0; i < kGroup; ++i) {
                const int d = kBayer[row][(column + i) & 3];
                t.lanes[row][column][i] = static_cast<int16_t>((2 * d + 1) * 255 / 32 + 1);
            }
        }
    }
    return t;
}

constexpr DitherTable kDither = MakeDitherTable();

// Dithered quantisation of 0..255 channels to 5 and 6 bits, exactly as QuantTables: with the
// ordered dither, floor((v * 31 + floor((2 d + 1) * 255 / 32) + 1) * 257 / 65536) (63 for 6 bits);
// without, v >> 3 (v >> 2) as v * 8192 / 65536.
struct Quantiser {
    __m128i add, mul5, mul6, scale5, scale6;

    Quantiser(bool dither, int y, int left) {
        if (!dither) {
            add = _mm_setzero_si128();
            mul5 = mul6 = _mm_set1_epi16(1);
            scale5 = _mm_set1_epi16(8192);
            scale6 = _mm_set1_epi16(16384);
            return;
        }
        add = _mm_load_si128(reinterpret_cast<const __m128i*>(kDither.lanes[y & 3][left & 3]));
        mul5 = _mm_set1_epi16(31);
        mul6 = _mm_set1_epi16(63);
        scale5 = scale6 = _mm_set1_epi16(257);
    }
    __m128i Pack565(__m128i r, __m128i g, __m128i b) const {
        const __m128i r5 = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(r, mul5), add), scale5);
        const __m128i g6 = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(g, mul6), add), scale6);
        const __m128i b5 = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(b, mul5), add), scale5);
        return _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r5, 11), _mm_slli_epi16(g6, 5)), b5);
    }
};

// Eight colours as 0..255 channels, one pixel per 16-bit lane.
struct Channels {
    __m128i r, g, b;
};

// Eight texels as channels: colour and alpha.
struct TexelChannels {
    Channels color;
    __m128i alpha;
};

// Eight 0xAARRGGBB texels (two registers of four) split into channels.
TexelChannels SplitTexels(__m128i t0, __m128i t1) {
    const __m128i byte = _mm_set1_epi32(0xFF);
    auto channel = [&](int shift) {
        return _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(t0, shift), byte),
                               _mm_and_si128(_mm_srli_epi32(t1, shift), byte));
    };
    return {{channel(16), channel(8), channel(0)},
            _mm_packs_epi32(_mm_srli_epi32(t0, 24), _mm_srli_epi32(t1, 24))};
}

TexelChannels SplitTexels(const uint32_t* texels) {
    return SplitTexels(_mm_load_si128(reinterpret_cast<const __m128i*>(texels)),
                       _mm_load_si128(reinterpret_cast<const __m128i*>(texels + 4)));
}

// Whether the texture's sides are powers of two, so that wrapping is a mask (PowerOfTwoTexels).
bool HasPowerOfTwoSides(const Sampler& s) {
    return s.width > 0 && s.height > 0 && (s.width & (s.width - 1)) == 0 && (s.height & (s.height - 1)) == 0;
}

#if defined(DEVICE3D_SPAN_AVX2)

// start + i * step for i = 0..7 in 32-bit lanes (wrapping).
__m256i Spread8(int32_t start, int32_t step) {
    return _mm256_add_epi32(
        _mm256_set1_epi32(start),
        _mm256_mullo_epi32(_mm256_set1_epi32(step), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)));
}

// (a * (256 - f) + b * f) >> 8 per 16-bit lane, a, b 0..255, f 0..256 (inverse = 256 - f).
__m256i Lerp8(__m256i a, __m256i b, __m256i f, __m256i inverse) {
    return _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(a, inverse), _mm256_mullo_epi16(b, f)), 8);
}

// Two channels of eight pixels, paired per pixel in 32-bit lanes (low | high << 16), as two
// registers of eight 16-bit lanes (low channel, high channel).
void Unpair(__m256i pairs, __m128i& low, __m128i& high) {
    // Within each 128-bit half: the four low values, then the four high ones; then the halves'
    // low parts side by side, and the high parts.
    const __m256i order = _mm256_setr_epi8(0, 1, 4, 5, 8, 9, 12, 13, 2, 3, 6, 7, 10, 11, 14, 15,  //
                                           0, 1, 4, 5, 8, 9, 12, 13, 2, 3, 6, 7, 10, 11, 14, 15);
    const __m256i grouped = _mm256_permute4x64_epi64(_mm256_shuffle_epi8(pairs, order), 0xD8);
    low = _mm256_castsi256_si128(grouped);
    high = _mm256_extracti128_si256(grouped, 1);
}

// Texels of a texture whose sides are powers of two, fetched eight pixels at a time from 16.16
// texture coordinates in 32-bit lanes. Wrapping is a mask of the whole part, so the coordinates
// may step on past the texture's edge (and wrap around 32 bits) without being wrapped themselves.
// The two texels side by side in a bilinear quad are one 64-bit load where the pair does not wrap
// (on the processors measured, fewer loads pay and a gather instruction does not).
class PowerOfTwoTexels {
  public:
    explicit PowerOfTwoTexels(const Sampler& s)
        : texels_(reinterpret_cast<const int*>(s.texels)),
          widthMask_(_mm256_set1_epi32(s.width - 1)),
          heightMask_(_mm256_set1_epi32(s.height - 1)),
          rowShift_(_mm_cvtsi32_si128(__builtin_ctz(static_cast<unsigned>(s.width)))) {}

    // The texel under each of eight pixels.
    TexelChannels Point(const TexelWalk& w) const {
        const __m256i u = Spread8(w.u, w.du), v = Spread8(w.v, w.dv);
        const __m256i t = Gather(_mm256_add_epi32(Row(Whole(v, heightMask_)), Whole(u, widthMask_)));
        return SplitTexels(_mm256_castsi256_si128(t), _mm256_extracti128_si256(t, 1));
    }

    // The bilinear mix of the four texels around each of eight pixels (as TexelWalk::Bilinear).
    TexelChannels Bilinear(const TexelWalk& w) const {
        const __m256i u = Spread8(w.u, w.du), v = Spread8(w.v, w.dv);
        const __m256i one = _mm256_set1_epi32(1);
        const __m256i x0 = Whole(u, widthMask_), x1 = _mm256_and_si256(_mm256_add_epi32(x0, one), widthMask_);
        const __m256i y0 = Whole(v, heightMask_);
        const __m256i row0 = Row(y0), row1 = Row(_mm256_and_si256(_mm256_add_epi32(y0, one), heightMask_));
        __m256i topLeft, topRight, bottomLeft, bottomRight;
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(x0, widthMask_)) == 0) {
            // No pixel's pair wraps around the texture's right edge: each is two texels side by side.
            Pairs(_mm256_add_epi32(row0, x0), topLeft, topRight);
            Pairs(_mm256_add_epi32(row1, x0), bottomLeft, bottomRight);
        } else {
            topLeft = Gather(_mm256_add_epi32(row0, x0));
            topRight = Gather(_mm256_add_epi32(row0, x1));
            bottomLeft = Gather(_mm256_add_epi32(row1, x0));
            bottomRight = Gather(_mm256_add_epi32(row1, x1));
        }
        __m256i fxInverse, fyInverse;
        const __m256i fx = Weights(u, fxInverse), fy = Weights(v, fyInverse);
        auto mix = [&](auto split) {
            const __m256i top = Lerp8(split(topLeft), split(topRight), fx, fxInverse);
            const __m256i bottom = Lerp8(split(bottomLeft), split(bottomRight), fx, fxInverse);
            return Lerp8(top, bottom, fy, fyInverse);
        };
        // (Lambdas with a capture default: one without would also get a conversion to a function
        // pointer, which does not take the instruction set of this build.)
        const __m256i lowBytes = _mm256_set1_epi16(0xFF);
        TexelChannels c{};
        Unpair(mix([&](__m256i t) { return _mm256_and_si256(t, lowBytes); }), c.color.b, c.color.r);
        Unpair(mix([&](__m256i t) { return _mm256_srli_epi16(t, 8); }), c.color.g, c.alpha);
        return c;
    }

  private:
    // Weights in 256ths from 16.16 coordinates, the same in both 16-bit halves of a pixel's lane.
    static __m256i Weights(__m256i coordinate, __m256i& inverse) {
        const __m256i f = _mm256_and_si256(_mm256_srli_epi32(coordinate, 8), _mm256_set1_epi32(0xFF));
        const __m256i both = _mm256_or_si256(f, _mm256_slli_epi32(f, 16));
        inverse = _mm256_sub_epi16(_mm256_set1_epi16(256), both);
        return both;
    }
    static __m256i Whole(__m256i coordinate, __m256i mask) {
        return _mm256_and_si256(_mm256_srli_epi32(coordinate, 16), mask);
    }
    __m256i Row(__m256i y) const { return _mm256_sll_epi32(y, rowShift_); }
    __m256i Gather(__m256i indices) const { return _mm256_i32gather_epi32(texels_, indices, 4); }
    // The texels at the indices and the ones after them (in the same row), each pair one load.
    void Pairs(__m256i indices, __m256i& first, __m256i& second) const {
        alignas(32) int32_t at[kGroup];
        _mm256_store_si256(reinterpret_cast<__m256i*>(at), indices);
        auto pair = [&](int i) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(texels_ + at[i])); };
        auto two = [&](int i, int j) { return _mm_unpacklo_epi64(pair(i), pair(j)); };
        // Pixels 0, 1 | 4, 5 and 2, 3 | 6, 7, each pair as first, second.
        const __m256 a =
            _mm256_castsi256_ps(_mm256_inserti128_si256(_mm256_castsi128_si256(two(0, 1)), two(4, 5), 1));
        const __m256 b =
            _mm256_castsi256_ps(_mm256_inserti128_si256(_mm256_castsi128_si256(two(2, 3)), two(6, 7), 1));
        first = _mm256_castps_si256(_mm256_shuffle_ps(a, b, 0x88));
        second = _mm256_castps_si256(_mm256_shuffle_ps(a, b, 0xDD));
    }

    const int* texels_;
    __m256i widthMask_, heightMask_;
    __m128i rowShift_;
};

#else

// Four texels at the given indices.
__m128i Gather(const uint32_t* texels, __m128i indices) {
    alignas(16) int32_t at[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(at), indices);
    auto load = [&](int i) { return _mm_cvtsi32_si128(static_cast<int32_t>(texels[at[i]])); };
    return _mm_unpacklo_epi64(_mm_unpacklo_epi32(load(0), load(1)), _mm_unpacklo_epi32(load(2), load(3)));
}

// (a * (256 - f) + b * f) >> 8 per 16-bit lane, a, b 0..255, f 0..256 (inverse = 256 - f).
__m128i Lerp(__m128i a, __m128i b, __m128i f, __m128i inverse) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(a, inverse), _mm_mullo_epi16(b, f)), 8);
}

// Texels of a texture whose sides are powers of two, fetched four pixels at a time from 16.16
// texture coordinates in 32-bit lanes. Wrapping is a mask of the whole part, so the coordinates
// may step on past the texture's edge (and wrap around 32 bits) without being wrapped themselves.
class PowerOfTwoTexels {
  public:
    explicit PowerOfTwoTexels(const Sampler& s)
        : texels_(s.texels),
          widthMask_(_mm_set1_epi32(s.width - 1)),
          heightMask_(_mm_set1_epi32(s.height - 1)),
          rowShift_(_mm_cvtsi32_si128(__builtin_ctz(static_cast<unsigned>(s.width)))) {}

    // The texel under each of eight pixels.
    TexelChannels Point(const TexelWalk& w) const {
        const __m128i u = Spread(static_cast<uint32_t>(w.u), static_cast<uint32_t>(w.du));
        const __m128i v = Spread(static_cast<uint32_t>(w.v), static_cast<uint32_t>(w.dv));
        const __m128i u4 = _mm_slli_epi32(_mm_set1_epi32(w.du), 2),
                      v4 = _mm_slli_epi32(_mm_set1_epi32(w.dv), 2);
        return SplitTexels(PointOf4(u, v), PointOf4(_mm_add_epi32(u, u4), _mm_add_epi32(v, v4)));
    }

    // The bilinear mix of the four texels around each of eight pixels (as TexelWalk::Bilinear).
    TexelChannels Bilinear(const TexelWalk& w) const {
        const __m128i u = Spread(static_cast<uint32_t>(w.u), static_cast<uint32_t>(w.du));
        const __m128i v = Spread(static_cast<uint32_t>(w.v), static_cast<uint32_t>(w.dv));
        const __m128i u4 = _mm_slli_epi32(_mm_set1_epi32(w.du), 2),
                      v4 = _mm_slli_epi32(_mm_set1_epi32(w.dv), 2);
        const Mixed lo = BilinearOf4(u, v);
        const Mixed hi = BilinearOf4(_mm_add_epi32(u, u4), _mm_add_epi32(v, v4));
        const __m128i low16 = _mm_set1_epi32(0xFFFF);
        return {{_mm_packs_epi32(_mm_srli_epi32(lo.rb, 16), _mm_srli_epi32(hi.rb, 16)),
                 _mm_packs_epi32(_mm_and_si128(lo.ga, low16), _mm_and_si128(hi.ga, low16)),
                 _mm_packs_epi32(_mm_and_si128(lo.rb, low16), _mm_and_si128(hi.rb, low16))},
                _mm_packs_epi32(_mm_srli_epi32(lo.ga, 16), _mm_srli_epi32(hi.ga, 16))};
    }

  private:
    // Four mixed texels, per 32-bit lane blue | red << 16 and green | alpha << 16.
    struct Mixed {
        __m128i rb, ga;
    };

    __m128i Column(__m128i u) const { return _mm_and_si128(_mm_srli_epi32(u, 16), widthMask_); }
    __m128i Row(__m128i v) const {
        return _mm_sll_epi32(_mm_and_si128(_mm_srli_epi32(v, 16), heightMask_), rowShift_);
    }

    __m128i PointOf4(__m128i u, __m128i v) const { return Gather(texels_, _mm_add_epi32(Row(v), Column(u))); }

    Mixed BilinearOf4(__m128i u, __m128i v) const {
        const __m128i one = _mm_set1_epi32(1);
        const __m128i x0 = Column(u), x1 = _mm_and_si128(_mm_add_epi32(x0, one), widthMask_);
        const __m128i y0 = _mm_and_si128(_mm_srli_epi32(v, 16), heightMask_);
        const __m128i row0 = _mm_sll_epi32(y0, rowShift_);
        const __m128i row1 = _mm_sll_epi32(_mm_and_si128(_mm_add_epi32(y0, one), heightMask_), rowShift_);
        const __m128i topLeft = Gather(texels_, _mm_add_epi32(row0, x0));
        const __m128i topRight = Gather(texels_, _mm_add_epi32(row0, x1));
        const __m128i bottomLeft = Gather(texels_, _mm_add_epi32(row1, x0));
        const __m128i bottomRight = Gather(texels_, _mm_add_epi32(row1, x1));
        // Weights in 256ths, the same in both 16-bit halves of a pixel's lane.
        auto weights = [](__m128i coordinate, __m128i& inverse) {
            const __m128i f = _mm_and_si128(_mm_srli_epi32(coordinate, 8), _mm_set1_epi32(0xFF));
            const __m128i both = _mm_or_si128(f, _mm_slli_epi32(f, 16));
            inverse = _mm_sub_epi16(_mm_set1_epi16(256), both);
            return both;
        };
        __m128i fxInverse, fyInverse;
        const __m128i fx = weights(u, fxInverse), fy = weights(v, fyInverse);
        const __m128i lowBytes = _mm_set1_epi16(0xFF);
        auto mix = [&](auto split) {
            const __m128i top = Lerp(split(topLeft), split(topRight), fx, fxInverse);
            const __m128i bottom = Lerp(split(bottomLeft), split(bottomRight), fx, fxInverse);
            return Lerp(top, bottom, fy, fyInverse);
        };
        return {mix([&](__m128i t) { return _mm_and_si128(t, lowBytes); }),
                mix([](__m128i t) { return _mm_srli_epi16(t, 8); })};
    }

    const uint32_t* texels_;
    __m128i widthMask_, heightMask_, rowShift_;
};

#endif

// Eight 565 pixels widened to 0..255 channels (as ReadTarget).
Channels Widen565(__m128i p) {
    const __m128i r = _mm_srli_epi16(p, 11);
    const __m128i g = _mm_and_si128(_mm_srli_epi16(p, 5), _mm_set1_epi16(63));
    const __m128i b = _mm_and_si128(p, _mm_set1_epi16(31));
    return {_mm_or_si128(_mm_slli_epi16(r, 3), _mm_srli_epi16(r, 2)),
            _mm_or_si128(_mm_slli_epi16(g, 2), _mm_srli_epi16(g, 4)),
            _mm_or_si128(_mm_slli_epi16(b, 3), _mm_srli_epi16(b, 2))};
}

// (a * (b + 1)) >> 8 per lane, a and b 0..255.
__m128i ModulateLanes(__m128i a, __m128i b) {
    return _mm_srli_epi16(_mm_mullo_epi16(a, _mm_add_epi16(b, _mm_set1_epi16(1))), 8);
}

// (c * keep + fog * (256 - keep)) >> 8; the sum stays below 65536.
__m128i FogLanes(__m128i c, __m128i keep, __m128i lose, __m128i fog) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(c, keep), _mm_mullo_epi16(fog, lose)), 8);
}

// BlendSourceAlpha per lane; every intermediate stays below 65536.
__m128i BlendLanes(__m128i src, __m128i alpha, __m128i inverse, __m128i dest) {
    const __m128i v = _mm_add_epi16(
        _mm_add_epi16(_mm_mullo_epi16(src, alpha), _mm_mullo_epi16(dest, inverse)), _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(v, _mm_srli_epi16(v, 8)), 8);
}

__m128i Select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

template <bool kBilinear, bool kFog, bool kAlphaTest, bool kBlend>
void ShadeSpanLanes(const RasterTarget& t, const PixelState& s, const SpanStart& st, int y, int left,
                    int right) {
    const int count = right - left + 1;
    if (count < kShortSpan) {
        ShadeSpanWith<true, kBilinear, kFog, kAlphaTest, kBlend, true, false>(t, s, st, y, left, right);
        return;
    }
    auto* color = reinterpret_cast<uint16_t*>(t.color + static_cast<std::ptrdiff_t>(y) * t.colorPitch) + left;
    auto* depth = reinterpret_cast<uint16_t*>(t.depth + static_cast<std::ptrdiff_t>(y) * t.depthPitch) + left;
    const Quantiser quantiser(s.dither, y, left);
    const AlphaRange alphaRange(s.alphaFunc, s.alphaRef);
    const __m128i max255 = _mm_set1_epi16(255), max256 = _mm_set1_epi16(256);
    const __m128i fogR = _mm_set1_epi16(s.fogColor[0]), fogG = _mm_set1_epi16(s.fogColor[1]),
                  fogB = _mm_set1_epi16(s.fogColor[2]);
    const __m128i laneIndex = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
    const __m128i depthBias = DepthBias();

    DepthLanes z(DepthRamp(st.z, st.dz), count);
    StepperLanes r(Stepper(st.r, st.dr)), g(Stepper(st.g, st.dg)), b(Stepper(st.b, st.db));
    StepperLanes fog(Stepper(st.fog, st.dfog));
    PerspectiveRuns runs(st, kBilinear);
    TexelWalk walk{};
    std::optional<PowerOfTwoTexels> powerOfTwo;
    if (HasPowerOfTwoSides(s.sampler)) {
        powerOfTwo.emplace(s.sampler);
    }
    for (int done = 0; done < count; done += kGroup, color += kGroup, depth += kGroup) {
        const int n = std::min(kGroup, count - done);
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
        const int passed = _mm_movemask_epi8(write);
        if (passed != 0) {
            runs.Begin(s.sampler, done, n, walk);
            TexelChannels texels{};
            if (powerOfTwo) {
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
                write = _mm_and_si128(write, alphaRange.Passes(alpha));
            }
            const int drawn = _mm_movemask_epi8(write);
            if (drawn != 0) {
                Channels c = texels.color;
                c.r = ModulateLanes(c.r, r.Get(max255));
                c.g = ModulateLanes(c.g, g.Get(max255));
                c.b = ModulateLanes(c.b, b.Get(max255));
                if constexpr (kFog) {
                    const __m128i keep = fog.Get(max256), lose = _mm_sub_epi16(max256, keep);
                    c.r = FogLanes(c.r, keep, lose, fogR);
                    c.g = FogLanes(c.g, keep, lose, fogG);
                    c.b = FogLanes(c.b, keep, lose, fogB);
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
SpanShader ChooseLaneBlending(const PixelState& s) {
    if (s.alphaTest) {
        return s.blend ? ShadeSpanLanes<kBilinear, kFog, true, true>
                       : ShadeSpanLanes<kBilinear, kFog, true, false>;
    }
    return s.blend ? ShadeSpanLanes<kBilinear, kFog, false, true>
                   : ShadeSpanLanes<kBilinear, kFog, false, false>;
}

// The shader for a textured triangle in the common state.
SpanShader ChooseLaneShader(const RasterTarget& /*target*/, const PixelState& s, bool bilinear) {
    if (bilinear) {
        return s.fog ? ChooseLaneBlending<true, true>(s) : ChooseLaneBlending<true, false>(s);
    }
    return s.fog ? ChooseLaneBlending<false, true>(s) : ChooseLaneBlending<false, false>(s);
}

}  // namespace
}  // namespace platform::device_detail

#if defined(DEVICE3D_SPAN_AVX2)
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

#else  // without SSE2 the scalar shaders serve

namespace platform::device_detail {
namespace {

SpanShader ChooseLaneShader(const RasterTarget& target, const PixelState& state, bool bilinear) {
    return ChooseScalarSpanShader(target, state, bilinear);
}

}  // namespace
}  // namespace platform::device_detail

#endif
