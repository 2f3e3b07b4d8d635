// The pixel state of a draw from the device's render and texture-stage states.

#include "platform/device3d/draw.h"

namespace platform::device_detail {

namespace {

ColorSource ArgumentSource(uint32_t arg) {
    return (arg & 0xF) == kTaTexture ? ColorSource::kTexture : ColorSource::kDiffuse;
}

// What one combiner of stage 0 produces, from the texture and the interpolated diffuse colour only.
ColorSource CombinerSource(uint32_t op, uint32_t arg1, uint32_t arg2, bool hasTexture) {
    ColorSource source = ColorSource::kDiffuse;
    switch (op) {
        case kTopSelectArg1:
            source = ArgumentSource(arg1);
            break;
        case kTopSelectArg2:
            source = ArgumentSource(arg2);
            break;
        case kTopModulate:
            source =
                ArgumentSource(arg1) != ArgumentSource(arg2) ? ColorSource::kModulate : ArgumentSource(arg1);
            break;
        default:  // disabled: the diffuse colour passes through
            break;
    }
    // Without a texture the texture argument reads as opaque white.
    if (!hasTexture && source == ColorSource::kTexture) {
        return ColorSource::kWhite;
    }
    if (!hasTexture && source == ColorSource::kModulate) {
        return ColorSource::kDiffuse;
    }
    return source;
}

}  // namespace

PixelState ResolvePixelState(Device3D& d) {
    const uint32_t* rs = d.renderStates;
    const uint32_t* ts = d.stageStates[0];
    PixelState s{};
    const bool hasTexture = d.textures[0] != nullptr && PrepareSampler(*d.textures[0], s.sampler);
    s.colorSource = CombinerSource(ts[kTssColorOp], ts[kTssColorArg1], ts[kTssColorArg2], hasTexture);
    s.alphaSource = CombinerSource(ts[kTssAlphaOp], ts[kTssAlphaArg1], ts[kTssAlphaArg2], hasTexture);
    s.textured =
        hasTexture && (s.colorSource == ColorSource::kTexture || s.colorSource == ColorSource::kModulate ||
                       s.alphaSource == ColorSource::kTexture || s.alphaSource == ColorSource::kModulate);
    s.bilinearMag = ts[kTssMagFilter] == kFilterLinear;
    s.bilinearMin = ts[kTssMinFilter] == kFilterLinear;
    s.zTest = rs[kRsZEnable] != 0 && d.depth != nullptr;
    s.zWrite = s.zTest && rs[kRsZWriteEnable] != 0;
    s.zFunc = rs[kRsZFunc];
    s.alphaTest = rs[kRsAlphaTestEnable] != 0;
    s.alphaFunc = rs[kRsAlphaFunc];
    s.alphaRef = rs[kRsAlphaRef] & 0xFF;
    s.blend = rs[kRsAlphaBlendEnable] != 0;
    s.srcBlend = rs[kRsSrcBlend];
    s.destBlend = rs[kRsDestBlend];
    s.fog = rs[kRsFogEnable] != 0;
    s.fogColor[0] = static_cast<uint8_t>(rs[kRsFogColor] >> 16);
    s.fogColor[1] = static_cast<uint8_t>(rs[kRsFogColor] >> 8);
    s.fogColor[2] = static_cast<uint8_t>(rs[kRsFogColor]);
    s.specular = rs[kRsSpecularEnable] != 0 && rs[kRsLighting] != 0;
    s.dither = rs[kRsDitherEnable] != 0 && d.target->format.bitsPerPixel == 16;
    s.flat = rs[kRsShadeMode] == kShadeFlat;
    return s;
}

}  // namespace platform::device_detail
