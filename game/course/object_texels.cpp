#include "game/course/object_texels.h"

#include "game/course/fni_texture.h"

namespace course {

TexelOpacity OpacityFromTextures(std::span<platform::DeviceTexture* const> textures) {
    return [textures](uint16_t material, float u, float v) {
        if (material >= textures.size() || textures[material] == nullptr) {
            return true;
        }
        uint32_t alphaMask = 0;
        const uint32_t texel = ReadTexel(*textures[material], u, v, alphaMask);
        return alphaMask == 0 || (texel & alphaMask) != 0;
    };
}

}  // namespace course
