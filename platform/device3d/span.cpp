#include "platform/device3d/span.h"

#include "platform/device3d/pixel.h"
#include "platform/device3d/span_parts.h"
#include "platform/device3d/span_scalar.h"

namespace platform::device_detail {

namespace {

// What a chosen shader draws: a span, a span of one pixel, or rows of a triangle.
enum class Drawn { kSpan, kPixel, kRows };

// Rows one by one: rows of one pixel through the pixel shader, the others through the span shader.
template <bool kTextured, bool kBilinear, bool kFog, bool kAlphaTest, bool kBlend, bool kCommon>
void ShadeRowsOneByOne(const RasterTarget& t, const PixelState& s, const SpanRow* rows, int count) {
    for (int i = 0; i < count; ++i) {
        const SpanRow& row = rows[i];
        if (row.left == row.right) {
            ShadePixel<kTextured, kBilinear, kFog, kAlphaTest, kBlend, kCommon>(t, s, row.start, row.y,
                                                                                row.left, row.right);
        } else {
            ShadeSpan<kTextured, kBilinear, kFog, kAlphaTest, kBlend, kCommon>(t, s, row.start, row.y,
                                                                               row.left, row.right);
        }
    }
}

template <Drawn kDrawn, bool kTextured, bool kBilinear, bool kFog, bool kAlphaTest, bool kBlend, bool kCommon>
auto Shader() {
    if constexpr (kDrawn == Drawn::kPixel) {
        return ShadePixel<kTextured, kBilinear, kFog, kAlphaTest, kBlend, kCommon>;
    } else if constexpr (kDrawn == Drawn::kSpan) {
        return ShadeSpan<kTextured, kBilinear, kFog, kAlphaTest, kBlend, kCommon>;
    } else {
        return ShadeRowsOneByOne<kTextured, kBilinear, kFog, kAlphaTest, kBlend, kCommon>;
    }
}

template <Drawn kDrawn, bool kTextured, bool kBilinear, bool kFog, bool kCommon>
auto ChooseBlending(const PixelState& s) {
    if (s.alphaTest) {
        return s.blend ? Shader<kDrawn, kTextured, kBilinear, kFog, true, true, kCommon>()
                       : Shader<kDrawn, kTextured, kBilinear, kFog, true, false, kCommon>();
    }
    return s.blend ? Shader<kDrawn, kTextured, kBilinear, kFog, false, true, kCommon>()
                   : Shader<kDrawn, kTextured, kBilinear, kFog, false, false, kCommon>();
}

template <Drawn kDrawn, bool kTextured, bool kBilinear, bool kCommon>
auto ChooseFog(const PixelState& s) {
    return s.fog ? ChooseBlending<kDrawn, kTextured, kBilinear, true, kCommon>(s)
                 : ChooseBlending<kDrawn, kTextured, kBilinear, false, kCommon>(s);
}

template <Drawn kDrawn>
auto ChooseScalar(const RasterTarget& target, const PixelState& state, bool bilinear) {
    if (!state.textured) {
        return ChooseFog<kDrawn, false, false, false>(state);
    }
    if (IsCommonState(target, state)) {
        return bilinear ? ChooseFog<kDrawn, true, true, true>(state)
                        : ChooseFog<kDrawn, true, false, true>(state);
    }
    return bilinear ? ChooseFog<kDrawn, true, true, false>(state)
                    : ChooseFog<kDrawn, true, false, false>(state);
}

}  // namespace

bool IsCommonState(const RasterTarget& t, const PixelState& s) {
    return t.format.bitsPerPixel == 16 && KindOf(t.format) == TargetKind::k565 && t.depth != nullptr &&
           s.zTest && s.zFunc == kCmpLessEqual && s.colorSource == ColorSource::kModulate &&
           s.alphaSource == ColorSource::kTexture && !s.specular &&
           (!s.blend || (s.srcBlend == kBlendSrcAlpha && s.destBlend == kBlendInvSrcAlpha));
}

SpanShader ChooseSpanShader(const RasterTarget& target, const PixelState& state, bool bilinear) {
    return ChooseScalar<Drawn::kSpan>(target, state, bilinear);
}

SpanShader ChoosePixelShader(const RasterTarget& target, const PixelState& state, bool bilinear) {
    return ChooseScalar<Drawn::kPixel>(target, state, bilinear);
}

RowShader ChooseScalarRowShader(const RasterTarget& target, const PixelState& state, bool bilinear) {
    return ChooseScalar<Drawn::kRows>(target, state, bilinear);
}

RowShader ChooseRowShader(const RasterTarget& target, const PixelState& state, bool bilinear) {
    if (state.textured && IsCommonState(target, state)) {
        return ChooseVectorRowShader(target, state, bilinear);
    }
    return ChooseScalarRowShader(target, state, bilinear);
}

}  // namespace platform::device_detail
