#pragma once
// Set-up of a triangle that covers a pixel: the planes of the attributes the span shaders
// interpolate, from the exact (not snapped) vertex positions, and the copy of the texture it reads.
// A part of raster.cpp, the only file that includes it, in the file's unnamed namespace (see
// coverage.h).

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/device3d/raster.h"
#include "platform/device3d/texel_box.h"

namespace platform::device_detail {

namespace {

// The attributes interpolated across a triangle, in the order of SpanStart.
enum Attr { kZ, kRhw, kUq, kVq, kR, kG, kB, kA, kFog, kSr, kSg, kSb, kAttrCount };
constexpr int kStartFloats = 2 * kAttrCount;
static_assert(sizeof(SpanStart) == kStartFloats * sizeof(float), "SpanStart is value, step pairs");

// Twice the triangle's area in texels of the full-size texture.
float TexelArea2(const PixelState& s, const ScreenVertex* const* v) {
    const float du1 = v[1]->u - v[0]->u, dv1 = v[1]->v - v[0]->v;
    const float du2 = v[2]->u - v[0]->u, dv2 = v[2]->v - v[0]->v;
    return std::fabs(du1 * dv2 - du2 * dv1) * s.sampler.widthF * s.sampler.heightF;
}

bool UseBilinear(const PixelState& s, float texelArea2, float screenArea2) {
    if (s.bilinearMag == s.bilinearMin) {
        return s.bilinearMag;
    }
    return texelArea2 > screenArea2 ? s.bilinearMin : s.bilinearMag;
}

// The state whose texture copy has at most about four texels per pixel.
const PixelState& MipState(const PixelState& state, const SpanShaders& shaders, float texelArea2,
                           float screenArea2) {
    const int level = MipLevel(texelArea2, screenArea2, shaders.mipCount);
    return level == 0 ? state : shaders.mipStates[level - 1];
}

// Four floats worked on together; SSE2 where the compiler offers it.
struct Quad {
#if defined(__SSE2__)
    __m128 v;
    static Quad Load(const float* p) {
        return {_mm_loadu_ps(p)};
    }
    static Quad Set(float a, float b, float c, float d) {
        return {_mm_setr_ps(a, b, c, d)};
    }
    // first[0], first[1], second[0] * scale, second[1] * scale.
    static Quad PairAndScaledPair(const float* first, const float* second, float scale) {
        const auto pair = [](const float* p) {
            return _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
        };
        return {_mm_movelh_ps(pair(first), _mm_mul_ps(pair(second), _mm_set1_ps(scale)))};
    }
    static Quad Splat(float a) {
        return {_mm_set1_ps(a)};
    }
    // Lanes whose bit (lowest lane first) in bits is set keep their value, the others become zero.
    Quad Keep(uint32_t bits) const {
        const __m128i lane = _mm_setr_epi32(1, 2, 4, 8);
        const __m128i kept =
            _mm_cmpeq_epi32(_mm_and_si128(_mm_set1_epi32(static_cast<int>(bits)), lane), lane);
        return {_mm_and_ps(v, _mm_castsi128_ps(kept))};
    }
    friend Quad operator+(Quad a, Quad b) {
        return {_mm_add_ps(a.v, b.v)};
    }
    friend Quad operator-(Quad a, Quad b) {
        return {_mm_sub_ps(a.v, b.v)};
    }
    friend Quad operator*(Quad a, Quad b) {
        return {_mm_mul_ps(a.v, b.v)};
    }
    // value0, step0, value1, step1, value2, step2, value3, step3 into out[0..7].
    static void StoreInterleaved(Quad value, Quad step, float* out) {
        _mm_storeu_ps(out, _mm_unpacklo_ps(value.v, step.v));
        _mm_storeu_ps(out + 4, _mm_unpackhi_ps(value.v, step.v));
    }
    void Store(float* out) const {
        _mm_storeu_ps(out, v);
    }
#else
    float v[4];
    static Quad Load(const float* p) {
        return {{p[0], p[1], p[2], p[3]}};
    }
    static Quad Set(float a, float b, float c, float d) {
        return {{a, b, c, d}};
    }
    static Quad PairAndScaledPair(const float* first, const float* second, float scale) {
        return {{first[0], first[1], second[0] * scale, second[1] * scale}};
    }
    static Quad Splat(float a) {
        return {{a, a, a, a}};
    }
    Quad Keep(uint32_t bits) const {
        Quad r{};
        for (int i = 0; i < 4; ++i) {
            r.v[i] = (bits >> i & 1u) != 0 ? v[i] : 0.0f;
        }
        return r;
    }
    template <typename Op>
    static Quad Each(Quad a, Quad b, Op op) {
        return {{op(a.v[0], b.v[0]), op(a.v[1], b.v[1]), op(a.v[2], b.v[2]), op(a.v[3], b.v[3])}};
    }
    friend Quad operator+(Quad a, Quad b) {
        return Each(a, b, [](float x, float y) { return x + y; });
    }
    friend Quad operator-(Quad a, Quad b) {
        return Each(a, b, [](float x, float y) { return x - y; });
    }
    friend Quad operator*(Quad a, Quad b) {
        return Each(a, b, [](float x, float y) { return x * y; });
    }
    static void StoreInterleaved(Quad value, Quad step, float* out) {
        for (int i = 0; i < 4; ++i) {
            out[2 * i] = value.v[i];
            out[2 * i + 1] = step.v[i];
        }
    }
    void Store(float* out) const {
        std::memcpy(out, v, sizeof v);
    }
#endif
};

constexpr int kQuads = kAttrCount / 4;

// A vertex's attributes in SpanStart order, four at a time: z, 1/w, u/w, v/w (quad 0); the diffuse
// colour (1); fog (in 256ths) and the specular colour (2).
Quad Gather(const ScreenVertex& v, int quad) {
    static_assert(offsetof(ScreenVertex, a) == offsetof(ScreenVertex, r) + 3 * sizeof(float));
    static_assert(offsetof(ScreenVertex, rhw) == offsetof(ScreenVertex, sz) + sizeof(float));
    static_assert(offsetof(ScreenVertex, v) == offsetof(ScreenVertex, u) + sizeof(float));
    switch (quad) {
        case 0:  // sz, rhw, u * rhw, v * rhw
            return Quad::PairAndScaledPair(&v.sz, &v.u, v.rhw);
        case 1:
            return Quad::Load(&v.r);
        default:
            return Quad::Set(v.fog * 256.0f, v.sr, v.sg, v.sb);
    }
}

// A triangle's exact vertex positions as the planes of its attributes use them (only coverage uses
// the snapped grid): the first vertex, the other two relative to it and one over twice the area.
struct PlaneFrame {
    float x0 = 0.0f, y0 = 0.0f;
    Quad x1, y1, x2, y2, invArea;

    // false when the exact positions give no area (the snapped ones did).
    bool Set(const ScreenVertex* const* v) {
        x0 = v[0]->sx;
        y0 = v[0]->sy;
        const float fx1 = v[1]->sx - x0, fy1 = v[1]->sy - y0;
        const float fx2 = v[2]->sx - x0, fy2 = v[2]->sy - y0;
        const float area = fx1 * fy2 - fx2 * fy1;
        if (area == 0.0f) {
            return false;
        }
        invArea = Quad::Splat(1.0f / area);
        x1 = Quad::Splat(fx1);
        y1 = Quad::Splat(fy1);
        x2 = Quad::Splat(fx2);
        y2 = Quad::Splat(fy2);
        return true;
    }
    // The steps across x and y of four attributes from their values at the three vertices.
    void Steps(Quad at0, Quad at1, Quad at2, Quad& dx, Quad& dy) const {
        const Quad d1 = at1 - at0, d2 = at2 - at0;
        dx = (d1 * y2 - d2 * y1) * invArea;
        dy = (d2 * x1 - d1 * x2) * invArea;
    }
    // Pixel (x, y) relative to the first vertex.
    Quad OffsetX(int x) const { return Quad::Splat(static_cast<float>(x) - x0); }
    Quad OffsetY(int y) const { return Quad::Splat(static_cast<float>(y) - y0); }
};

// Four attributes' start values at offset (ox, oy) from the first vertex, and their steps across
// x, into quad q of start.
void StoreStart(Quad base, Quad dx, Quad dy, Quad ox, Quad oy, int q, SpanStart& start) {
    float out[8];
    Quad::StoreInterleaved(base + dx * ox + dy * oy, dx, out);
    std::memcpy(reinterpret_cast<unsigned char*>(&start) + q * sizeof out, out, sizeof out);
}

// The planes of the attributes the span shader reads: at pixel (x, y) an attribute is
// base + dx (x - x0) + dy (y - y0). Attributes the shader does not read stay zero.
struct Planes {
    float x0 = 0.0f, y0 = 0.0f;  // exact position of the first vertex, pixels
    Quad base[kQuads], dx[kQuads], dy[kQuads];

    // false when the exact positions give no area (the snapped ones did).
    bool Set(const ScreenVertex* const* v, uint32_t used) {
        PlaneFrame frame;
        if (!frame.Set(v)) {
            return false;
        }
        x0 = frame.x0;
        y0 = frame.y0;
        const auto plane = [&](int q) {
            const uint32_t read = used >> (4 * q) & 0xFu;
            if (read == 0) {  // not set up at all
                base[q] = dx[q] = dy[q] = Quad::Splat(0.0f);
                return;
            }
            base[q] = Gather(*v[0], q);
            frame.Steps(base[q], Gather(*v[1], q), Gather(*v[2], q), dx[q], dy[q]);
            if (read != 0xFu) {  // most draws read every attribute of the quads they read at all
                base[q] = base[q].Keep(read);
                dx[q] = dx[q].Keep(read);
                dy[q] = dy[q].Keep(read);
            }
        };
        static_assert(kQuads == 3);
        plane(0);
        plane(1);
        plane(2);
        return true;
    }

    // The planes of 1 / w, u / w and v / w.
    TexturePlanes Texture() const {
        float value[4], across[4], down[4];  // z, 1 / w, u / w, v / w
        base[0].Store(value);
        dx[0].Store(across);
        dy[0].Store(down);
        return {x0,        y0,      value[1], across[1], down[1], value[2],
                across[2], down[2], value[3], across[3], down[3]};
    }

    // The span's start values on row y from its first pixel. Written in place: a SpanStart returned
    // by value was copied once more before every span.
    void Start(int y, int left, SpanStart& start) const {
        const Quad ox = Quad::Splat(static_cast<float>(left) - x0),
                   oy = Quad::Splat(static_cast<float>(y) - y0);
        for (int q = 0; q < kQuads; ++q) {
            StoreStart(base[q], dx[q], dy[q], ox, oy, q, start);
        }
    }
};

// The attributes of the draws whose start values OnePixelStart sets up: quads 0 and 1 whole (depth,
// texture and diffuse colour), nothing of quad 2 (fog and specular).
constexpr uint32_t kFirstTwoQuads = 0xFFu;

// The start values of a triangle's one pixel (x, y) for a draw that reads kFirstTwoQuads: what
// Planes::Set and Start give, worked out the same way, without keeping the planes (most triangles
// of a distant mesh cover one pixel). false when the exact positions give no area.
bool OnePixelStart(const ScreenVertex* const* v, int x, int y, SpanStart& start) {
    PlaneFrame frame;
    if (!frame.Set(v)) {
        return false;
    }
    const Quad ox = frame.OffsetX(x), oy = frame.OffsetY(y);
    const auto quad = [&](int q) {
        const Quad at0 = Gather(*v[0], q);
        Quad dx, dy;
        frame.Steps(at0, Gather(*v[1], q), Gather(*v[2], q), dx, dy);
        StoreStart(at0, dx, dy, ox, oy, q, start);
    };
    quad(0);
    quad(1);
    const Quad zero = Quad::Splat(0.0f);
    StoreStart(zero, zero, zero, zero, zero, 2, start);
    return true;
}

// What a triangle is shaded with once it is known to cover a pixel: the planes of its attributes,
// whether its texture is sampled bilinearly and the state with the copy of the texture it reads.
struct TriangleShading {
    Planes planes;
    bool bilinear = false;
    const PixelState* drawn = nullptr;

    // false when the triangle draws nothing after all (no area at its exact positions). Inline in the
    // row loops: a call costs the many small triangles of the map panel.
    [[gnu::always_inline]] bool Set(const PixelState& state, const SpanShaders& shaders,
                                    const ScreenVertex* const* v, int64_t snappedArea2) {
        if (!planes.Set(v, shaders.attributes)) {
            return false;
        }
        ChooseTexture(state, shaders, v, snappedArea2);
        return true;
    }
    // Sets bilinear and drawn only.
    void ChooseTexture(const PixelState& state, const SpanShaders& shaders, const ScreenVertex* const* v,
                       int64_t snappedArea2) {
        drawn = &state;
        if (state.textured) {
            const float texelArea2 = TexelArea2(state, v);
            const float screenArea2 = static_cast<float>(snappedArea2) / 256.0f;
            bilinear = UseBilinear(state, texelArea2, screenArea2);
            drawn = &MipState(state, shaders, texelArea2, screenArea2);
        }
    }
};

}  // namespace

}  // namespace platform::device_detail
