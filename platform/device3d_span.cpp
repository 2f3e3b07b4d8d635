#include "platform/device3d_span.h"

#include "platform/device3d_pixel.h"
#include "platform/device3d_span_parts.h"
#include "platform/device3d_span_scalar.h"

namespace platform::device_detail {

namespace {

// The shader of spans of any length, or of spans of one pixel.
template <bool kOnePixel, bool kTextured, bool kBilinear, bool kFog, bool kAlphaTest, bool kBlend,
          bool kCommon>
SpanShader Shader() {
    if constexpr (kOnePixel) {
        return ShadePixel<kTextured, kBilinear, kFog, kAlphaTest, kBlend, kCommon>;
    } else {
        return ShadeSpan<kTextured, kBilinear, kFog, kAlphaTest, kBlend, kCommon>;
    }
}

template <bool kOnePixel, bool kTextured, bool kBilinear, bool kFog, bool kCommon>
SpanShader ChooseBlending(const PixelState& s) {
    if (s.alphaTest) {
        return s.blend ? Shader<kOnePixel, kTextured, kBilinear, kFog, true, true, kCommon>()
                       : Shader<kOnePixel, kTextured, kBilinear, kFog, true, false, kCommon>();
    }
    return s.blend ? Shader<kOnePixel, kTextured, kBilinear, kFog, false, true, kCommon>()
                   : Shader<kOnePixel, kTextured, kBilinear, kFog, false, false, kCommon>();
}

template <bool kOnePixel, bool kTextured, bool kBilinear, bool kCommon>
SpanShader ChooseFog(const PixelState& s) {
    return s.fog ? ChooseBlending<kOnePixel, kTextured, kBilinear, true, kCommon>(s)
                 : ChooseBlending<kOnePixel, kTextured, kBilinear, false, kCommon>(s);
}

template <bool kOnePixel>
SpanShader ChooseScalar(const RasterTarget& target, const PixelState& state, bool bilinear) {
    if (!state.textured) {
        return ChooseFog<kOnePixel, false, false, false>(state);
    }
    if (IsCommonState(target, state)) {
        return bilinear ? ChooseFog<kOnePixel, true, true, true>(state)
                        : ChooseFog<kOnePixel, true, false, true>(state);
    }
    return bilinear ? ChooseFog<kOnePixel, true, true, false>(state)
                    : ChooseFog<kOnePixel, true, false, false>(state);
}

}  // namespace

bool IsCommonState(const RasterTarget& t, const PixelState& s) {
    return t.format.bitsPerPixel == 16 && KindOf(t.format) == TargetKind::k565 && t.depth != nullptr &&
           s.zTest && s.zFunc == kCmpLessEqual && s.colorSource == ColorSource::kModulate &&
           s.alphaSource == ColorSource::kTexture && !s.specular &&
           (!s.blend || (s.srcBlend == kBlendSrcAlpha && s.destBlend == kBlendInvSrcAlpha));
}

SpanShader ChooseScalarSpanShader(const RasterTarget& target, const PixelState& state, bool bilinear) {
    return ChooseScalar<false>(target, state, bilinear);
}

SpanShader ChoosePixelShader(const RasterTarget& target, const PixelState& state, bool bilinear) {
    return ChooseScalar<true>(target, state, bilinear);
}

SpanShader ChooseSpanShader(const RasterTarget& target, const PixelState& state, bool bilinear) {
    if (state.textured && IsCommonState(target, state)) {
        return ChooseVectorSpanShader(target, state, bilinear);
    }
    return ChooseScalarSpanShader(target, state, bilinear);
}

}  // namespace platform::device_detail
