#pragma once
// The lane arithmetic of the SSE2 span shaders: eight pixels in 16-bit lanes, or four in 32-bit
// lanes, for the steppers, depth, alpha test, dithered quantisation, texel channels, modulation, fog
// and blending, each giving exactly what the scalar shaders give one pixel at a time.
//
// A part of span_sse2.cpp, the only file that includes it: its helpers stay in an unnamed namespace,
// the file's own, so that the compiler inlines them into the shaders' loops as freely as functions
// written in the file itself.

#if defined(__SSE2__)
#include <emmintrin.h>

#include <algorithm>
#include <cstdint>

#include "platform/device3d/pixel.h"
#include "platform/device3d/span_parts.h"

namespace platform::device_detail {

namespace {

constexpr int kGroup = kPerspectiveRun;  // a group of pixels is one run of texture coordinates
static_assert(kGroup == 8, "eight 16-bit lanes per group");

// start + i * step for i = 0..3 in 32-bit lanes (wrapping), from start and step in every lane.
__m128i Spread(__m128i start, __m128i step) {
    const __m128i odd = _mm_and_si128(step, _mm_setr_epi32(0, -1, 0, -1));
    const __m128i upper = _mm_and_si128(_mm_add_epi32(step, step), _mm_setr_epi32(0, 0, -1, -1));
    return _mm_add_epi32(start, _mm_add_epi32(odd, upper));
}

__m128i Spread(uint32_t start, uint32_t step) {
    return Spread(_mm_set1_epi32(static_cast<int32_t>(start)), _mm_set1_epi32(static_cast<int32_t>(step)));
}

// Stepper::ToFixed of four values.
__m128i ToFixedLanes(__m128 v) {
    const __m128 number = _mm_and_ps(v, _mm_cmpeq_ps(v, v));  // not-a-number becomes 0
    const __m128 clamped = _mm_min_ps(_mm_max_ps(number, _mm_set1_ps(-16384.0f)), _mm_set1_ps(16384.0f));
    return _mm_cvttps_epi32(_mm_mul_ps(clamped, _mm_set1_ps(65536.0f)));
}

// A Stepper's values at the eight pixels of a group, in 32-bit lanes, moved on a group at a time.
struct StepperLanes {
    __m128i lo, hi, groupStep;

    // The Stepper of the value and step in lane kLane of values and steps (from ToFixedLanes).
    template <int kLane>
    static StepperLanes Of(__m128i values, __m128i steps) {
        const __m128i value =
            _mm_add_epi32(_mm_shuffle_epi32(values, _MM_SHUFFLE(kLane, kLane, kLane, kLane)),
                          _mm_set1_epi32(0x8000));  // as Stepper: rounds to nearest
        const __m128i step = _mm_shuffle_epi32(steps, _MM_SHUFFLE(kLane, kLane, kLane, kLane));
        return StepperLanes(value, step);
    }
    StepperLanes(__m128i value, __m128i step) {
        lo = Spread(value, step);
        const __m128i four = _mm_slli_epi32(step, 2);
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
    // stepLo, stepHi: the ramp's step times 0..3 and 4..7 in 32-bit lanes (wrapping).
    DepthLanes(const DepthRamp& ramp, int count, __m128i stepLo, __m128i stepHi)
        : ramp_(ramp), inLanes_(ramp.FitsLanes(count)), stepLo_(stepLo), stepHi_(stepHi) {}
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
    bool zeroPasses;               // whether alpha 0 passes

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
        zeroPasses = (lo <= 0 && 0 <= hi) != inverted;
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

// Four texels at the given indices.
[[gnu::always_inline]] inline __m128i Gather(const uint32_t* texels, __m128i indices) {
    alignas(16) int32_t at[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(at), indices);
    auto load = [&](int i) { return _mm_cvtsi32_si128(static_cast<int32_t>(texels[at[i]])); };
    return _mm_unpacklo_epi64(_mm_unpacklo_epi32(load(0), load(1)), _mm_unpacklo_epi32(load(2), load(3)));
}

// (a * (256 - f) + b * f) >> 8 per 16-bit lane, a, b 0..255, f 0..255 given as f128 = f * 128.
// That is a + floor((b - a) f / 256) (a * 256 is a whole multiple of 256), and (b - a) f / 256 is
// the upper half of 2 (b - a) * 128 f, which fits 16 bits: one multiplication instead of two.
__m128i Lerp(__m128i a, __m128i b, __m128i f128) {
    const __m128i difference = _mm_sub_epi16(b, a);
    return _mm_add_epi16(a, _mm_mulhi_epi16(_mm_add_epi16(difference, difference), f128));
}

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

}  // namespace

}  // namespace platform::device_detail

#endif
