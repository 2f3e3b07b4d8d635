#include "platform/device3d_span.h"

#include "platform/device3d_pixel.h"
#include "platform/device3d_span_parts.h"
#include "platform/device3d_span_scalar.h"

namespace platform::device_detail {

namespace {

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

}  // namespace

bool IsCommonState(const RasterTarget& t, const PixelState& s) {
    return t.format.bitsPerPixel == 16 && KindOf(t.format) == TargetKind::k565 && t.depth != nullptr &&
           s.zTest && s.zFunc == kCmpLessEqual && s.colorSource == ColorSource::kModulate &&
           s.alphaSource == ColorSource::kTexture && !s.specular &&
           (!s.blend || (s.srcBlend == kBlendSrcAlpha && s.destBlend == kBlendInvSrcAlpha));
}

SpanShader ChooseScalarSpanShader(const RasterTarget& target, const PixelState& state, bool bilinear) {
    if (!state.textured) {
        return ChooseFog<false, false, false>(state);
    }
    if (IsCommonState(target, state)) {
        return bilinear ? ChooseFog<true, true, true>(state) : ChooseFog<true, false, true>(state);
    }
    return bilinear ? ChooseFog<true, true, false>(state) : ChooseFog<true, false, false>(state);
}

SpanShader ChooseSpanShader(const RasterTarget& target, const PixelState& state, bool bilinear) {
    if (state.textured && IsCommonState(target, state)) {
        return ChooseVectorSpanShader(target, state, bilinear);
    }
    return ChooseScalarSpanShader(target, state, bilinear);
}

}  // namespace platform::device_detail
