#include "platform/device3d_span.h"

#include <algorithm>
#include <cstddef>

#include "platform/device3d_pixel.h"

namespace platform::device_detail {

namespace {

// A value stepped per pixel in 16.16 fixed point. Unsigned arithmetic keeps the (unused) step past
// the span's end well defined whatever the gradient.
struct Stepper {
    uint32_t value;
    uint32_t step;

    [[gnu::always_inline]] static uint32_t ToFixed(float v) {
        const float clamped = v > 16384.0f ? 16384.0f : (v < -16384.0f ? -16384.0f : (v == v ? v : 0.0f));
        return static_cast<uint32_t>(static_cast<int32_t>(clamped * 65536.0f));
    }
    // Starts half a unit up, so that Get rounds to the nearest whole value.
    [[gnu::always_inline]] Stepper(float start, float delta)
        : value(ToFixed(start) + 0x8000u), step(ToFixed(delta)) {}
    void Next() { value += step; }
    // The whole part, clamped to 0 .. max unless the caller knows it lies there (kClamp false).
    template <bool kClamp = true>
    int Get(int max) const {
        const int whole = static_cast<int32_t>(value) >> 16;
        if constexpr (!kClamp) {
            return whole;
        }
        return whole < 0 ? 0 : (whole > max ? max : whole);
    }
    // Whether the whole part stays within 0 .. max over the next count values: both ends inside and
    // no wrap of the 32-bit value in between.
    bool StaysWithin(int count, int max) const {
        const int64_t first = static_cast<int32_t>(value);
        const int64_t last = first + int64_t{static_cast<int32_t>(step)} * (count - 1);
        const int64_t top = int64_t{max} << 16 | 0xFFFF;
        return first >= 0 && first <= top && last >= 0 && last <= top;
    }
};

int Modulate(int a, int b) {
    return (a * (b + 1)) >> 8;
}

int Pick(ColorSource source, int diffuse, int texel) {
    switch (source) {
        case ColorSource::kTexture:
            return texel;
        case ColorSource::kModulate:
            return Modulate(texel, diffuse);
        case ColorSource::kWhite:
            return 255;
        default:
            return diffuse;
    }
}

// Source-alpha blending, the one the game uses, without the general factor table.
int BlendSourceAlpha(int src, int alpha, int dest) {
    const int v = src * alpha + dest * (255 - alpha) + 128;
    return (v + (v >> 8)) >> 8;
}

constexpr uint8_t kNoDither[4] = {16, 16, 16, 16};

// Texture coordinates are exact every this many pixels and linear in between.
constexpr int kPerspectiveRun = 8;

// kCommon: the state every textured triangle of a hole is drawn with (see IsCommonState), fixed at
// compile time so that the per-pixel switches on it disappear. kInRange: the diffuse colour and fog
// stay within their ranges over the whole span, so they are read without clamping.
template <bool kTextured, bool kBilinear, bool kFog, bool kAlphaTest, bool kBlend, bool kCommon,
          bool kInRange>
void ShadeSpanWith(const RasterTarget& t, const PixelState& s, const SpanStart& st, int y, int left,
                   int right) {
    constexpr bool kClamp = !kInRange;
    const TargetKind kind = kCommon ? TargetKind::k565 : KindOf(t.format);
    const int bytes = kCommon ? 2 : t.format.bitsPerPixel / 8;
    const ColorSource colorSource = kCommon ? ColorSource::kModulate : s.colorSource;
    const ColorSource alphaSource = kCommon ? ColorSource::kTexture : s.alphaSource;
    uint8_t* color = t.color + static_cast<std::ptrdiff_t>(y) * t.colorPitch + left * bytes;
    uint16_t* depth =
        kCommon || t.depth != nullptr
            ? reinterpret_cast<uint16_t*>(t.depth + static_cast<std::ptrdiff_t>(y) * t.depthPitch) + left
            : nullptr;
    const bool zTest = kCommon || (s.zTest && depth != nullptr);
    const bool zLessEqual = kCommon || s.zFunc == kCmpLessEqual;
    const bool zWrite = s.zWrite && depth != nullptr;
    const bool sourceAlphaBlend =
        kCommon || (s.srcBlend == kBlendSrcAlpha && s.destBlend == kBlendInvSrcAlpha);
    const uint8_t* dither = s.dither ? kBayer[y & 3] : kNoDither;

    float z = st.z;
    Stepper r(st.r, st.dr), g(st.g, st.dg), b(st.b, st.db), a(st.a, st.da), fog(st.fog, st.dfog);
    Stepper sr(st.sr, st.dsr), sg(st.sg, st.dsg), sb(st.sb, st.dsb);
    const bool specular = !kCommon && s.specular;
    TexelWalk walk{};
    // Moves every interpolated value on by one pixel; the ones this shader never reads stay put.
    auto advance = [&] {
        z += st.dz;
        r.Next();
        g.Next();
        b.Next();
        if constexpr (kAlphaTest || kBlend) {
            a.Next();
        }
        if constexpr (kFog) {
            fog.Next();
        }
        if constexpr (kTextured) {
            walk.Next();
        }
        if (specular) {
            sr.Next();
            sg.Next();
            sb.Next();
        }
    };
    const float offset = kBilinear ? 0.5f : 0.0f;
    float uEnd = 0.0f, vEnd = 0.0f;
    if constexpr (kTextured) {
        uEnd = st.uq / st.q;
        vEnd = st.vq / st.q;
    }
    for (int run = left; run <= right; run += kPerspectiveRun) {
        const int n = std::min(kPerspectiveRun, right - run + 1);
        if constexpr (kTextured) {
            // Exact texture coordinates at the run's ends (the start is the end of the run before):
            // one division by w per run.
            const auto to = static_cast<float>(run - left + n);
            const float u0 = uEnd, v0 = vEnd, w1 = 1.0f / (st.q + st.dq * to);
            uEnd = (st.uq + st.duq * to) * w1;
            vEnd = (st.vq + st.dvq * to) * w1;
            walk.Restart(s.sampler, offset, u0, v0, uEnd, vEnd, n);
        }
        for (int i = 0; i < n; ++i, color += bytes, depth += kCommon || depth != nullptr ? 1 : 0, advance()) {
            const int x = run + i;
            const uint16_t zq = QuantizeDepth(z);
            if (zTest && !(zLessEqual ? zq <= *depth : Compare(s.zFunc, zq, *depth))) {
                continue;
            }
            uint32_t texel = 0xFFFFFFFFu;
            if constexpr (kTextured) {
                texel = kBilinear ? walk.Bilinear(s.sampler) : walk.Point(s.sampler);
            }
            Rgba c{Pick(colorSource, r.template Get<kClamp>(255), static_cast<int>((texel >> 16) & 0xFF)),
                   Pick(colorSource, g.template Get<kClamp>(255), static_cast<int>((texel >> 8) & 0xFF)),
                   Pick(colorSource, b.template Get<kClamp>(255), static_cast<int>(texel & 0xFF)), 255};
            if constexpr (kAlphaTest || kBlend) {
                c.a = Pick(alphaSource, a.Get(255), static_cast<int>(texel >> 24));
            }
            if constexpr (kAlphaTest) {
                if (!Compare(s.alphaFunc, static_cast<uint32_t>(c.a), s.alphaRef)) {
                    continue;
                }
            }
            if (specular) {
                c.r = std::min(255, c.r + sr.Get(255));
                c.g = std::min(255, c.g + sg.Get(255));
                c.b = std::min(255, c.b + sb.Get(255));
            }
            if constexpr (kFog) {
                const int f = fog.template Get<kClamp>(256);
                c.r = (c.r * f + s.fogColor[0] * (256 - f)) >> 8;
                c.g = (c.g * f + s.fogColor[1] * (256 - f)) >> 8;
                c.b = (c.b * f + s.fogColor[2] * (256 - f)) >> 8;
            }
            if constexpr (kBlend) {
                if (!(sourceAlphaBlend && c.a == 255)) {  // an opaque pixel over-writes
                    const Rgba d = ReadTarget(kind, color);
                    if (sourceAlphaBlend) {
                        c.r = BlendSourceAlpha(c.r, c.a, d.r);
                        c.g = BlendSourceAlpha(c.g, c.a, d.g);
                        c.b = BlendSourceAlpha(c.b, c.a, d.b);
                    } else {
                        c.r = BlendChannel(s, c.r, c.a, d.r);
                        c.g = BlendChannel(s, c.g, c.a, d.g);
                        c.b = BlendChannel(s, c.b, c.a, d.b);
                    }
                }
            }
            WriteTarget(kind, color, c, dither[x & 3]);
            if (zWrite) {
                *depth = zq;
            }
        }
    }
}

template <bool kTextured, bool kBilinear, bool kFog, bool kAlphaTest, bool kBlend, bool kCommon>
void ShadeSpan(const RasterTarget& t, const PixelState& s, const SpanStart& st, int y, int left, int right) {
    if constexpr (kCommon) {
        const int n = right - left + 1;
        const bool inRange = Stepper(st.r, st.dr).StaysWithin(n, 255) &&
                             Stepper(st.g, st.dg).StaysWithin(n, 255) &&
                             Stepper(st.b, st.db).StaysWithin(n, 255) &&
                             (!kFog || Stepper(st.fog, st.dfog).StaysWithin(n, 256));
        if (inRange) {
            ShadeSpanWith<kTextured, kBilinear, kFog, kAlphaTest, kBlend, true, true>(t, s, st, y, left,
                                                                                      right);
            return;
        }
    }
    ShadeSpanWith<kTextured, kBilinear, kFog, kAlphaTest, kBlend, kCommon, false>(t, s, st, y, left, right);
}

template <bool kTextured, bool kBilinear, bool kFog, bool kCommon>
SpanShader ChooseBlending(const PixelState& s) {
    if (s.alphaTest) {
        return s.blend ? ShadeSpan<kTextured, kBilinear, kFog, true, true, kCommon>
                       : ShadeSpan<kTextured, kBilinear, kFog, true, false, kCommon>;
    }
    return s.blend ? ShadeSpan<kTextured, kBilinear, kFog, false, true, kCommon>
                   : ShadeSpan<kTextured, kBilinear, kFog, false, false, kCommon>;
}

template <bool kTextured, bool kBilinear, bool kCommon>
SpanShader ChooseFog(const PixelState& s) {
    return s.fog ? ChooseBlending<kTextured, kBilinear, true, kCommon>(s)
                 : ChooseBlending<kTextured, kBilinear, false, kCommon>(s);
}

// A 16-bit 565 target with depth, tested less-or-equal; the texture times the diffuse colour, the
// texture's alpha (when blending, source alpha over the target); no specular.
bool IsCommonState(const RasterTarget& t, const PixelState& s) {
    return t.format.bitsPerPixel == 16 && KindOf(t.format) == TargetKind::k565 && t.depth != nullptr &&
           s.zTest && s.zFunc == kCmpLessEqual && s.colorSource == ColorSource::kModulate &&
           s.alphaSource == ColorSource::kTexture && !s.specular &&
           (!s.blend || (s.srcBlend == kBlendSrcAlpha && s.destBlend == kBlendInvSrcAlpha));
}

}  // namespace

SpanShader ChooseSpanShader(const RasterTarget& target, const PixelState& state, bool bilinear) {
    if (!state.textured) {
        return ChooseFog<false, false, false>(state);
    }
    if (IsCommonState(target, state)) {
        return bilinear ? ChooseFog<true, true, true>(state) : ChooseFog<true, false, true>(state);
    }
    return bilinear ? ChooseFog<true, true, false>(state) : ChooseFog<true, false, false>(state);
}

}  // namespace platform::device_detail
