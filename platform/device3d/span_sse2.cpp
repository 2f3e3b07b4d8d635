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
#include "platform/device3d/span_scalar.h"

namespace platform::device_detail {

#if defined(__SSE2__)
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

// Texels of a texture whose sides are powers of two, fetched four pixels at a time from 16.16
// texture coordinates in 32-bit lanes. Wrapping is a mask of the whole part, so the coordinates
// may step on past the texture's edge (and wrap around 32 bits) without being wrapped themselves.
// Inline in the shader: a call would make it spill its live registers for every group.
class PowerOfTwoTexels {
  public:
    explicit PowerOfTwoTexels(const Sampler& s)
        : texels_(s.texels),
          width_(s.width),
          widthMask_(_mm_set1_epi32(s.width - 1)),
          heightMask_(_mm_set1_epi32(s.height - 1)),
          rowShift_(_mm_cvtsi32_si128(__builtin_ctz(static_cast<unsigned>(s.width)))) {}

    static bool Fits(const Sampler& s) {
        return s.width > 0 && s.height > 0 && (s.width & (s.width - 1)) == 0 &&
               (s.height & (s.height - 1)) == 0;
    }

    // The texel under each of eight pixels.
    [[gnu::always_inline]] TexelChannels Point(const TexelWalk& w) const {
        const __m128i u = Spread(static_cast<uint32_t>(w.u), static_cast<uint32_t>(w.du));
        const __m128i v = Spread(static_cast<uint32_t>(w.v), static_cast<uint32_t>(w.dv));
        const __m128i u4 = _mm_slli_epi32(_mm_set1_epi32(w.du), 2),
                      v4 = _mm_slli_epi32(_mm_set1_epi32(w.dv), 2);
        return SplitTexels(PointOf4(u, v), PointOf4(_mm_add_epi32(u, u4), _mm_add_epi32(v, v4)));
    }

    // The bilinear mix of the four texels around each of eight pixels (as TexelWalk::Bilinear).
    [[gnu::always_inline]] TexelChannels Bilinear(const TexelWalk& w) const {
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

    // The texels at indices and the ones to their right, each pair one load, and the same a row
    // further down (no index may be at the end of its row or in the texture's last row).
    [[gnu::always_inline]] void GatherQuads(__m128i indices, __m128i& topLeft, __m128i& topRight,
                                            __m128i& bottomLeft, __m128i& bottomRight) const {
        alignas(16) int32_t at[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(at), indices);
        const uint32_t* below = texels_ + width_;
        auto load = [&](const uint32_t* row, int i) {
            return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + at[i]));
        };
        // left 0, left 1, right 0, right 1; and the same of pixels 2 and 3
        const __m128i top01 = _mm_unpacklo_epi32(load(texels_, 0), load(texels_, 1));
        const __m128i top23 = _mm_unpacklo_epi32(load(texels_, 2), load(texels_, 3));
        const __m128i bottom01 = _mm_unpacklo_epi32(load(below, 0), load(below, 1));
        const __m128i bottom23 = _mm_unpacklo_epi32(load(below, 2), load(below, 3));
        topLeft = _mm_unpacklo_epi64(top01, top23);
        topRight = _mm_unpackhi_epi64(top01, top23);
        bottomLeft = _mm_unpacklo_epi64(bottom01, bottom23);
        bottomRight = _mm_unpackhi_epi64(bottom01, bottom23);
    }

    [[gnu::always_inline]] Mixed BilinearOf4(__m128i u, __m128i v) const {
        const __m128i one = _mm_set1_epi32(1);
        const __m128i x0 = Column(u);
        const __m128i y0 = _mm_and_si128(_mm_srli_epi32(v, 16), heightMask_);
        const __m128i row0 = _mm_sll_epi32(y0, rowShift_);
        __m128i topLeft, topRight, bottomLeft, bottomRight;
        // The four texels of a pixel are two pairs side by side, one row apart, unless a pixel's
        // quad wraps around the texture's right or bottom edge.
        const __m128i wraps = _mm_or_si128(_mm_cmpeq_epi32(x0, widthMask_), _mm_cmpeq_epi32(y0, heightMask_));
        if (_mm_movemask_epi8(wraps) == 0) {
            GatherQuads(_mm_add_epi32(row0, x0), topLeft, topRight, bottomLeft, bottomRight);
        } else {
            const __m128i row1 = _mm_sll_epi32(_mm_and_si128(_mm_add_epi32(y0, one), heightMask_), rowShift_);
            const __m128i x1 = _mm_and_si128(_mm_add_epi32(x0, one), widthMask_);
            topLeft = Gather(texels_, _mm_add_epi32(row0, x0));
            topRight = Gather(texels_, _mm_add_epi32(row0, x1));
            bottomLeft = Gather(texels_, _mm_add_epi32(row1, x0));
            bottomRight = Gather(texels_, _mm_add_epi32(row1, x1));
        }
        // Weights in 256ths times 128 (for Lerp), the same in both 16-bit halves of a pixel's lane.
        auto weights = [](__m128i coordinate) {
            const __m128i f128 = _mm_and_si128(_mm_srli_epi32(coordinate, 1), _mm_set1_epi32(0xFF << 7));
            return _mm_or_si128(f128, _mm_slli_epi32(f128, 16));
        };
        const __m128i fx = weights(u), fy = weights(v);
        const __m128i lowBytes = _mm_set1_epi16(0xFF);
        auto mix = [&](auto split) {
            const __m128i top = Lerp(split(topLeft), split(topRight), fx);
            const __m128i bottom = Lerp(split(bottomLeft), split(bottomRight), fx);
            return Lerp(top, bottom, fy);
        };
        return {mix([&](__m128i t) { return _mm_and_si128(t, lowBytes); }),
                mix([](__m128i t) { return _mm_srli_epi16(t, 8); })};
    }

    const uint32_t* texels_;
    int width_;
    __m128i widthMask_, heightMask_, rowShift_;
};

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
