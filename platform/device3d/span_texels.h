#pragma once
// The texel fetch of the SSE2 span shaders for textures whose sides are powers of two: point and
// bilinear samples of eight pixels at a time. A part of span_sse2.cpp, the only file that includes
// it, in the file's unnamed namespace (see span_lanes.h).

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>

#include "platform/device3d/sampler.h"
#include "platform/device3d/span_lanes.h"

namespace platform::device_detail {

namespace {

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

}  // namespace

}  // namespace platform::device_detail

#endif
