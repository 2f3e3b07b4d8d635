// Textures: the decoded 0xAARRGGBB copy of a texture surface that the samplers read.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "platform/device3d/alpha_blocks.h"
#include "platform/device3d/pipeline.h"

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

bool IsPowerOfTwo(int n) {
    return n > 0 && (n & (n - 1)) == 0;
}

// Halves a level: each texel the mean of the 2 x 2 (or 2 x 1 once a side is one texel) below it,
// every channel rounded.
std::vector<uint32_t> HalveLevel(const std::vector<uint32_t>& from, int width, int height) {
    const int w = std::max(1, width / 2), h = std::max(1, height / 2);
    const int stepX = width > 1 ? 1 : 0, stepY = height > 1 ? width : 0;
    std::vector<uint32_t> out(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const size_t at = static_cast<size_t>(y * (height > 1 ? 2 : 1)) * static_cast<size_t>(width) +
                              static_cast<size_t>(x * (width > 1 ? 2 : 1));
            const uint32_t t[4] = {from[at], from[at + stepX], from[at + stepY], from[at + stepX + stepY]};
            uint32_t mixed = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                uint32_t sum = 2;
                for (uint32_t texel : t) {
                    sum += (texel >> shift) & 0xFFu;
                }
                mixed |= (sum / 4) << shift;
            }
            out[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = mixed;
        }
    }
    return out;
}

void MakeMipLevels(DeviceTexture& texture) {
    texture.mipLevels.clear();
    int width = texture.surface->width, height = texture.surface->height;
    if (!IsPowerOfTwo(width) || !IsPowerOfTwo(height)) {
        return;
    }
    while (width > 1 || height > 1) {
        std::vector<uint32_t> next =
            HalveLevel(texture.mipLevels.empty() ? texture.texels : texture.mipLevels.back(), width, height);
        texture.mipLevels.push_back(std::move(next));
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
    }
}

int LevelWidth(const DeviceTexture& texture, int level) {
    return std::max(1, texture.surface->width >> level);
}

int LevelHeight(const DeviceTexture& texture, int level) {
    return std::max(1, texture.surface->height >> level);
}

void FindLevelsAlphaBlocks(DeviceTexture& texture) {
    texture.alphaBlocks.clear();
    texture.alphaBlocks.push_back(
        FindAlphaBlocks(texture.texels, LevelWidth(texture, 0), LevelHeight(texture, 0)));
    for (size_t i = 0; i < texture.mipLevels.size(); ++i) {
        const int level = static_cast<int>(i) + 1;
        texture.alphaBlocks.push_back(
            FindAlphaBlocks(texture.mipLevels[i], LevelWidth(texture, level), LevelHeight(texture, level)));
    }
}

// The alpha blocks of a level (0: the texture itself), nullptr if it has none.
const uint8_t* LevelAlphaBlocks(const DeviceTexture& texture, int level) {
    const auto at = static_cast<size_t>(level);
    return at < texture.alphaBlocks.size() && !texture.alphaBlocks[at].empty()
               ? texture.alphaBlocks[at].data()
               : nullptr;
}

}  // namespace

int MipSamplers(const DeviceTexture& texture, Sampler* out, int max) {
    const int count = std::min(max, static_cast<int>(texture.mipLevels.size()));
    for (int i = 0; i < count; ++i) {
        Sampler& s = out[i];
        s.texels = texture.mipLevels[static_cast<size_t>(i)].data();
        s.width = LevelWidth(texture, i + 1);
        s.height = LevelHeight(texture, i + 1);
        s.widthF = static_cast<float>(s.width);
        s.heightF = static_cast<float>(s.height);
        s.alphaBlocks = AlphaBlockMap(LevelAlphaBlocks(texture, i + 1), s.width, s.height);
    }
    return count;
}

bool PrepareSampler(DeviceTexture& texture, Sampler& out) {
    if (texture.surface == nullptr || texture.surface->width <= 0 || texture.surface->height <= 0) {
        return false;
    }
    if (!texture.decoded || texture.decodedChange != texture.surface->changeCount) {
        // Queued draws may still read the copy about to be rebuilt (a draw into the texture's own
        // surface changes it without a lock in between): they are drawn first.
        FinishPendingWork(*texture.surface);
        Decode(texture);
        MakeMipLevels(texture);
        FindLevelsAlphaBlocks(texture);
        texture.decoded = true;
        texture.decodedChange = texture.surface->changeCount;
    }
    out.texels = texture.texels.data();
    out.width = texture.surface->width;
    out.height = texture.surface->height;
    out.widthF = static_cast<float>(out.width);
    out.heightF = static_cast<float>(out.height);
    out.alphaBlocks = AlphaBlockMap(LevelAlphaBlocks(texture, 0), out.width, out.height);
    return true;
}

}  // namespace platform::device_detail
