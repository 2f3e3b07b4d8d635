// Textures: the decoded 0xAARRGGBB copy of a texture surface, and point and bilinear sampling with
// wrap addressing. Texel centres lie at (i + 0.5) / size.

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

int64_t FloorToInt(float f) {
    if (!(std::fabs(f) < 1e15f)) {
        return 0;
    }
    const auto i = static_cast<int64_t>(f);
    return f < static_cast<float>(i) ? i - 1 : i;
}

// Splits a texel coordinate into its whole part and the fraction in 256ths.
void SplitCoordinate(float f, int64_t& whole, uint32_t& fraction) {
    whole = FloorToInt(f);
    const float t = f - static_cast<float>(whole);
    fraction = t >= 0.0f && t < 1.0f ? static_cast<uint32_t>(t * 256.0f) : 0;
}

int Wrap(int64_t i, int size, bool pow2) {
    if (pow2) {
        return static_cast<int>(static_cast<uint64_t>(i) & static_cast<uint64_t>(size - 1));
    }
    int64_t r = i % size;
    return static_cast<int>(r < 0 ? r + size : r);
}

// Mixes two texels, f/256 of the way from a to b, all four channels at once.
uint32_t MixTexels(uint32_t a, uint32_t b, uint32_t f) {
    const uint32_t g = 256 - f;
    const uint32_t rb = (((a & 0x00FF00FFu) * g + (b & 0x00FF00FFu) * f) >> 8) & 0x00FF00FFu;
    const uint32_t ag = ((((a >> 8) & 0x00FF00FFu) * g + ((b >> 8) & 0x00FF00FFu) * f) >> 8) & 0x00FF00FFu;
    return rb | ag << 8;
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
    out.pow2 = (out.width & (out.width - 1)) == 0 && (out.height & (out.height - 1)) == 0;
    return true;
}

uint32_t SamplePoint(const Sampler& s, float u, float v) {
    const int x = Wrap(FloorToInt(u * static_cast<float>(s.width)), s.width, s.pow2);
    const int y = Wrap(FloorToInt(v * static_cast<float>(s.height)), s.height, s.pow2);
    return s.texels[static_cast<size_t>(y) * static_cast<size_t>(s.width) + static_cast<size_t>(x)];
}

uint32_t SampleBilinear(const Sampler& s, float u, float v) {
    int64_t ix, iy;
    uint32_t wx, wy;
    SplitCoordinate(u * static_cast<float>(s.width) - 0.5f, ix, wx);
    SplitCoordinate(v * static_cast<float>(s.height) - 0.5f, iy, wy);
    const int x0 = Wrap(ix, s.width, s.pow2);
    const int x1 = Wrap(ix + 1, s.width, s.pow2);
    const size_t w = static_cast<size_t>(s.width);
    const uint32_t* row0 = s.texels + static_cast<size_t>(Wrap(iy, s.height, s.pow2)) * w;
    const uint32_t* row1 = s.texels + static_cast<size_t>(Wrap(iy + 1, s.height, s.pow2)) * w;
    const uint32_t top = MixTexels(row0[x0], row0[x1], wx);
    const uint32_t bottom = MixTexels(row1[x0], row1[x1], wx);
    return MixTexels(top, bottom, wy);
}

}  // namespace platform::device_detail
