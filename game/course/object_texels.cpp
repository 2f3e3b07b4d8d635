#include "game/course/object_texels.h"

#include "game/course/fni_texture.h"

namespace course {

namespace {

// No texture, or a texture without an alpha bit, is opaque everywhere.
bool TexelOpaque(platform::DeviceTexture* texture, float u, float v) {
    if (texture == nullptr) {
        return true;
    }
    uint32_t alphaMask = 0;
    const uint32_t texel = ReadTexel(*texture, u, v, alphaMask);
    return alphaMask == 0 || (texel & alphaMask) != 0;
}

}  // namespace

TexelOpacity OpacityFromTextures(std::span<platform::DeviceTexture* const> textures) {
    return [textures](uint16_t material, float u, float v) {
        return material >= textures.size() || TexelOpaque(textures[material], u, v);
    };
}

TexelOpacity OpacityFromTextures(const std::vector<DeviceTexturePtr>& textures) {
    return [&textures](uint16_t material, float u, float v) {
        return material >= textures.size() || TexelOpaque(textures[material].get(), u, v);
    };
}

}  // namespace course
