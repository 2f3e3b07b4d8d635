#pragma once
// The span shaders one pixel at a time, for every state. Templates, so that the vector shaders can
// hand them spans too short to be worth eight lanes.

#include <algorithm>
#include <cstddef>

#include "platform/device3d/pixel.h"
#include "platform/device3d/span_parts.h"

namespace platform::device_detail {

inline int Pick(ColorSource source, int diffuse, int texel) {
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

inline constexpr uint8_t kNoDither[4] = {16, 16, 16, 16};

// A value stepped across a span, or (kOnce: a span of one pixel) read once within 0 .. max.
template <bool kOnce>
[[gnu::always_inline]] inline Stepper SpanValue(float start, float delta, int max) {
    if constexpr (kOnce) {
        return Stepper::ReadOnce(start, max);
    } else {
        return Stepper(start, delta);
    }
}

// A span's diffuse colour and fog (SpanValue). The span shader finds from them whether they stay
// within their ranges, so they are set up once.
struct SpanColors {
    Stepper r, g, b, fog;

    template <bool kFog, bool kOnce>
    [[gnu::always_inline]] static SpanColors Of(const SpanStart& st) {
        return {SpanValue<kOnce>(st.r, st.dr, 255), SpanValue<kOnce>(st.g, st.dg, 255),
                SpanValue<kOnce>(st.b, st.db, 255),
                kFog ? SpanValue<kOnce>(st.fog, st.dfog, 256) : Stepper(0.0f, 0.0f)};
    }
    // Whether every value read stays within its range over count pixels.
    template <bool kFog>
    bool StayWithin(int count) const {
        return r.StaysWithin(count, 255) && g.StaysWithin(count, 255) && b.StaysWithin(count, 255) &&
               (!kFog || fog.StaysWithin(count, 256));
    }
};

// kCommon: the state every textured triangle of a hole is drawn with (see IsCommonState), fixed at
// compile time so that the per-pixel switches on it disappear. kInRange: the diffuse colour and fog
// stay within their ranges over the whole span, so they are read without clamping. kOnePixel: the
// span is the one pixel at left; start's steps are not read (tiny triangles make most spans so,
// and setting up the steps would cost more than the pixel). colors: the span's diffuse colour and fog,
// SpanColors::Of<kFog, kOnePixel>.
template <bool kTextured, bool kBilinear, bool kFog, bool kAlphaTest, bool kBlend, bool kCommon,
          bool kInRange, bool kOnePixel = false>
[[gnu::always_inline]] inline void ShadeSpanWith(const RasterTarget& t, const PixelState& s,
                                                 const SpanStart& st, int y, int left, int right,
                                                 const SpanColors& colors) {
    // (A pixel's values are read once, limited to their ranges when they are set up.)
    constexpr bool kClamp = !kInRange && !kOnePixel;
    if constexpr (kOnePixel) {
        right = left;
    }
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

    DepthRamp z = kOnePixel ? DepthRamp(st.z) : DepthRamp(st.z, st.dz);
    const bool specular = !kCommon && s.specular;
    // Values this shader never reads are not set up (short spans make the set-up count).
    const Stepper unused(0.0f, 0.0f);
    Stepper r = colors.r, g = colors.g, b = colors.b, fog = colors.fog;
    Stepper a = kAlphaTest || kBlend ? SpanValue<kOnePixel>(st.a, st.da, 255) : unused;
    Stepper sr = specular ? SpanValue<kOnePixel>(st.sr, st.dsr, 255) : unused;
    Stepper sg = specular ? SpanValue<kOnePixel>(st.sg, st.dsg, 255) : unused;
    Stepper sb = specular ? SpanValue<kOnePixel>(st.sb, st.dsb, 255) : unused;
    TexelWalk walk{};
    // Moves every interpolated value on by one pixel; the ones this shader never reads stay put.
    auto advance = [&] {
        z.Next();
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
    PerspectiveRuns runs(st, kBilinear);
    for (int run = left; run <= right; run += kPerspectiveRun) {
        const int n = std::min(kPerspectiveRun, right - run + 1);
        if constexpr (kTextured && kOnePixel) {
            runs.BeginOne(s.sampler, walk);
        } else if constexpr (kTextured) {
            runs.Begin(s.sampler, run - left, n, walk);
        }
        for (int i = 0; i < n; ++i, color += bytes, depth += kCommon || depth != nullptr ? 1 : 0, advance()) {
            const int x = run + i;
            const uint16_t zq = z.Get();
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
                c.a = Pick(alphaSource, a.template Get<!kOnePixel>(255), static_cast<int>(texel >> 24));
            }
            if constexpr (kAlphaTest) {
                if (!Compare(s.alphaFunc, static_cast<uint32_t>(c.a), s.alphaRef)) {
                    continue;
                }
            }
            if (specular) {
                c.r = std::min(255, c.r + sr.template Get<!kOnePixel>(255));
                c.g = std::min(255, c.g + sg.template Get<!kOnePixel>(255));
                c.b = std::min(255, c.b + sb.template Get<!kOnePixel>(255));
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
    const SpanColors colors = SpanColors::Of<kFog, false>(st);
    if (kCommon && colors.StayWithin<kFog>(right - left + 1)) {
        ShadeSpanWith<kTextured, kBilinear, kFog, kAlphaTest, kBlend, kCommon, true>(t, s, st, y, left, right,
                                                                                     colors);
        return;
    }
    ShadeSpanWith<kTextured, kBilinear, kFog, kAlphaTest, kBlend, kCommon, false>(t, s, st, y, left, right,
                                                                                  colors);
}

// The pixel of a span of one pixel. Its values are read once, limited to their ranges when they are
// set up (SpanValue), which gives what the clamped reading gives.
template <bool kTextured, bool kBilinear, bool kFog, bool kAlphaTest, bool kBlend, bool kCommon>
void ShadePixel(const RasterTarget& t, const PixelState& s, const SpanStart& st, int y, int left,
                int /*right*/) {
    ShadeSpanWith<kTextured, kBilinear, kFog, kAlphaTest, kBlend, kCommon, false, true>(
        t, s, st, y, left, left, SpanColors::Of<kFog, true>(st));
}

}  // namespace platform::device_detail
