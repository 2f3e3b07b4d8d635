#pragma once
// Point and bilinear sampling of a decoded texture with wrap addressing; texel centres lie at
// (i + 0.5) / size. Inline, because the rasteriser calls them for every textured pixel.

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "platform/device3d/alpha_blocks.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform::device_detail {

struct Sampler {
    const uint32_t* texels = nullptr;  // 0xAARRGGBB, width x height
    int width = 0;
    int height = 0;
    float widthF = 0.0f;
    float heightF = 0.0f;
    // The texture's blocks that hold a visible texel; none known unless set.
    AlphaBlockMap alphaBlocks;
};

// The texel pair around coordinate t (in texture repeats) along one axis and the weight of the
// second in 256ths. offset is 0.5 for bilinear sampling (pair around the sample) and 0 for point
// sampling (the texel under the sample).
[[gnu::always_inline]] inline void TexelPair(float t, float sizeF, int size, float offset, int& i0, int& i1,
                                             uint32_t& fraction) {
    if (!(std::fabs(t) < 1.0e9f)) {
        t = 0.0f;
    }
    float whole = static_cast<float>(static_cast<int32_t>(t));
    whole -= whole > t ? 1.0f : 0.0f;
    const float p = (t - whole) * sizeF - offset;  // -0.5 .. size
    const int fixed = static_cast<int>(p * 256.0f + 256.0f) - 256;
    i0 = fixed >> 8;
    fraction = static_cast<uint32_t>(fixed) & 0xFFu;
    if (i0 < 0) {
        i0 += size;
    } else if (i0 >= size) {
        i0 -= size;
    }
    i1 = i0 + 1 < size ? i0 + 1 : 0;
}

// Mixes two texels, f/256 of the way from a to b, all four channels at once.
[[gnu::always_inline]] inline uint32_t MixTexels(uint32_t a, uint32_t b, uint32_t f) {
    const uint32_t g = 256 - f;
    const uint32_t rb = (((a & 0x00FF00FFu) * g + (b & 0x00FF00FFu) * f) >> 8) & 0x00FF00FFu;
    const uint32_t ag = ((((a >> 8) & 0x00FF00FFu) * g + ((b >> 8) & 0x00FF00FFu) * f) >> 8) & 0x00FF00FFu;
    return rb | ag << 8;
}

// Texture coordinates walked across a run of pixels in 16.16 fixed-point texels, wrapped into the
// texture: exact (perspective-correct) at both ends of the run, linear in between.
struct TexelWalk {
    // 1 / n for the usual run lengths, without a division per run.
    static constexpr int kInverseCount = 9;
    static constexpr float kInverse[kInverseCount] = {0.0f,        1.0f,        1.0f / 2.0f,
                                                      1.0f / 3.0f, 1.0f / 4.0f, 1.0f / 5.0f,
                                                      1.0f / 6.0f, 1.0f / 7.0f, 1.0f / 8.0f};

    int32_t u, v, du, dv;
    int32_t uLimit, vLimit;  // texture size << 16

    // Starting position of one axis: coordinate t (in texture repeats) as wrapped fixed-point texels.
    static int32_t Start(float t, float sizeF, int32_t limit, float offset) {
        if (!(std::fabs(t) < 1.0e9f)) {
            t = 0.0f;
        }
        float whole = static_cast<float>(static_cast<int32_t>(t));
        whole -= whole > t ? 1.0f : 0.0f;
        auto p = static_cast<int32_t>(((t - whole) * sizeF - offset) * 65536.0f);
        p += p < 0 ? limit : 0;
        return p >= limit ? p - limit : p;
    }
    // Step per pixel along one axis, reduced to less than a whole texture (whole repeats change
    // nothing under wrapping).
    static int32_t Step(float delta, float sizeF) {
        float texels = delta * sizeF;
        if (!(std::fabs(texels) < sizeF)) {
            texels = std::isfinite(texels) ? std::fmod(texels, sizeF) : 0.0f;
        }
        return static_cast<int32_t>(texels * 65536.0f);
    }

    // Places the walk at u0, v0 without a step (a run of one pixel).
    [[gnu::always_inline]] void StartAt(const Sampler& s, float offset, float u0, float v0) {
#if defined(__SSE2__)
        StartAt(s, offset, _mm_unpacklo_ps(_mm_set_ss(u0), _mm_set_ss(v0)));
#else
        uLimit = s.width << 16;
        vLimit = s.height << 16;
        u = Start(u0, s.widthF, uLimit, offset);
        v = Start(v0, s.heightF, vLimit, offset);
        du = dv = 0;
#endif
    }
#if defined(__SSE2__)
    // The same from u0, v0 in lanes 0 and 1: both axes at once, each lane with Start's operations.
    [[gnu::always_inline]] void StartAt(const Sampler& s, float offset, __m128 uv) {
        uLimit = s.width << 16;
        vLimit = s.height << 16;
        const __m128 absolute = _mm_andnot_ps(_mm_set1_ps(-0.0f), uv);
        const __m128 t = _mm_and_ps(uv, _mm_cmplt_ps(absolute, _mm_set1_ps(1.0e9f)));
        __m128 whole = _mm_cvtepi32_ps(_mm_cvttps_epi32(t));
        whole = _mm_sub_ps(whole, _mm_and_ps(_mm_cmpgt_ps(whole, t), _mm_set1_ps(1.0f)));
        const __m128 p = _mm_mul_ps(
            _mm_sub_ps(_mm_mul_ps(_mm_sub_ps(t, whole), _mm_setr_ps(s.widthF, s.heightF, 0.0f, 0.0f)),
                       _mm_set1_ps(offset)),
            _mm_set1_ps(65536.0f));
        const __m128i limit = _mm_setr_epi32(uLimit, vLimit, 0, 0);
        __m128i fixed = _mm_cvttps_epi32(p);
        fixed = _mm_add_epi32(fixed, _mm_and_si128(_mm_cmplt_epi32(fixed, _mm_setzero_si128()), limit));
        fixed = _mm_sub_epi32(fixed, _mm_andnot_si128(_mm_cmplt_epi32(fixed, limit), limit));
        u = _mm_cvtsi128_si32(fixed);
        v = _mm_cvtsi128_si32(_mm_shuffle_epi32(fixed, _MM_SHUFFLE(1, 1, 1, 1)));
        du = dv = 0;
    }
#endif
    // u0, v0 at the first pixel, u1, v1 at the pixel after the run of n pixels.
    [[gnu::always_inline]] void Restart(const Sampler& s, float offset, float u0, float v0, float u1,
                                        float v1, int n) {
        StartAt(s, offset, u0, v0);
        const float inv = n < kInverseCount ? kInverse[n] : 1.0f / static_cast<float>(n);
        du = Step((u1 - u0) * inv, s.widthF);
        dv = Step((v1 - v0) * inv, s.heightF);
    }
    void Next() {
        u += du;
        u += u < 0 ? uLimit : (u >= uLimit ? -uLimit : 0);
        v += dv;
        v += v < 0 ? vLimit : (v >= vLimit ? -vLimit : 0);
    }
    uint32_t Point(const Sampler& s) const {
        return s.texels[static_cast<size_t>(v >> 16) * static_cast<size_t>(s.width) +
                        static_cast<size_t>(u >> 16)];
    }
    uint32_t Bilinear(const Sampler& s) const {
        const int x0 = u >> 16, y0 = v >> 16;
        const int x1 = x0 + 1 < s.width ? x0 + 1 : 0;
        const int y1 = y0 + 1 < s.height ? y0 + 1 : 0;
        const auto fx = static_cast<uint32_t>(u >> 8) & 0xFFu, fy = static_cast<uint32_t>(v >> 8) & 0xFFu;
        const size_t w = static_cast<size_t>(s.width);
        const uint32_t* row0 = s.texels + static_cast<size_t>(y0) * w;
        const uint32_t* row1 = s.texels + static_cast<size_t>(y1) * w;
#if defined(__SSE2__)
        return MixQuadSse2(row0[x0], row0[x1], row1[x0], row1[x1], fx, fy);
#else
        return MixTexels(MixTexels(row0[x0], row0[x1], fx), MixTexels(row1[x0], row1[x1], fx), fy);
#endif
    }

#if defined(__SSE2__)
    // The same mix as MixTexels applied three times, on 16-bit lanes: the two rows side by side.
    static uint32_t MixQuadSse2(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t fx, uint32_t fy) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i top = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(a)), zero);
        const __m128i topRight = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(b)), zero);
        const __m128i bottom = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(c)), zero);
        const __m128i bottomRight = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(d)), zero);
        const __m128i left = _mm_unpacklo_epi64(top, bottom);  // lanes 0-3 top row, 4-7 bottom row
        const __m128i right = _mm_unpacklo_epi64(topRight, bottomRight);
        const __m128i wx = _mm_set1_epi16(static_cast<int16_t>(fx));
        const __m128i wxInv = _mm_set1_epi16(static_cast<int16_t>(256 - fx));
        const __m128i rows =
            _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(left, wxInv), _mm_mullo_epi16(right, wx)), 8);
        const __m128i wy = _mm_set1_epi16(static_cast<int16_t>(fy));
        const __m128i wyInv = _mm_set1_epi16(static_cast<int16_t>(256 - fy));
        const __m128i mixed = _mm_srli_epi16(
            _mm_add_epi16(_mm_mullo_epi16(rows, wyInv), _mm_mullo_epi16(_mm_srli_si128(rows, 8), wy)), 8);
        return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(mixed, zero)));
    }
#endif
};

}  // namespace platform::device_detail
