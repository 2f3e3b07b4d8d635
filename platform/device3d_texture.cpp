// Textures: the decoded 0xAARRGGBB copy of a texture surface that the samplers read.

#include <cmath>
#include <cstddef>
#include <cstring>

#include "platform/device3d_pipeline.h"

namespace platform::device_detail {

namespace {

// Expands the bits of one channel to 0..255 (0 bits: missing).
struct ChannelDecoder {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;

    explicit ChannelDecoder(uint32_t m) : mask(m) {
        if (mask == 0) {
            return;
        }
        while (((mask >> shift) & 1u) == 0) {
            ++shift;
        }
        max = mask >> shift;
    }
    uint32_t Decode(uint32_t pixel, uint32_t missing) const {
        if (mask == 0) {
            return missing;
        }
        return (((pixel & mask) >> shift) * 255u + max / 2) / max;
    }
};

void Decode(DeviceTexture& texture) {
    DrawSurface& s = *texture.surface;
    LockedPixels px;
    texture.texels.assign(static_cast<size_t>(s.width) * static_cast<size_t>(s.height), 0);
    if (LockSurface(s, px) != kSurfaceOk) {
        return;
    }
    const ChannelDecoder red(px.format.redMask), green(px.format.greenMask), blue(px.format.blueMask),
        alpha(px.format.alphaMask);
    const int bytes = px.format.bitsPerPixel / 8;
    for (int y = 0; y < px.height; ++y) {
        const uint8_t* row = px.bits + static_cast<std::ptrdiff_t>(y) * px.pitch;
        uint32_t* out = texture.texels.data() + static_cast<size_t>(y) * static_cast<size_t>(px.width);
        for (int x = 0; x < px.width; ++x) {
            uint32_t raw = 0;
            std::memcpy(&raw, row + x * bytes, static_cast<size_t>(bytes));
            out[x] = alpha.Decode(raw, 255) << 24 | red.Decode(raw, 0) << 16 | green.Decode(raw, 0) << 8 |
                     blue.Decode(raw, 0);
        }
    }
    // Reading does not change the picture; keep the surface's change count where it was.
    const uint32_t change = s.changeCount;
    UnlockSurface(s);
    s.changeCount = change;
}

}  // namespace

bool PrepareSampler(DeviceTexture& texture, Sampler& out) {
    if (texture.surface == nullptr || texture.surface->width <= 0 || texture.surface->height <= 0) {
        return false;
    }
    if (!texture.decoded || texture.decodedChange != texture.surface->changeCount) {
        Decode(texture);
        texture.decoded = true;
        texture.decodedChange = texture.surface->changeCount;
    }
    out.texels = texture.texels.data();
    out.width = texture.surface->width;
    out.height = texture.surface->height;
    out.widthF = static_cast<float>(out.width);
    out.heightF = static_cast<float>(out.height);
    return true;
}

}  // namespace platform::device_detail
