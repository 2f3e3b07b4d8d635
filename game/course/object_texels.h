#pragma once
// Whether an object's texture lets the ball through at a point: the hole's material textures read
// back texel by texel.

#include <span>
#include <vector>

#include "game/course/course_objects.h"
#include "game/course/fni_texture.h"
#include "platform/device3d.h"

namespace course {

// Looks texels up in textures, indexed by material (the hole's texture per material, or null). A
// material without a texture, and a texture whose format has no alpha bit, are opaque everywhere.
// The textures must outlive the returned function.
TexelOpacity OpacityFromTextures(std::span<platform::DeviceTexture* const> textures);
TexelOpacity OpacityFromTextures(const std::vector<DeviceTexturePtr>& textures);

}  // namespace course
