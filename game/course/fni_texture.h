#pragma once
// Textures of the 3D view made from FNI pictures. A picture with its transparent colour honoured
// becomes a texture with an alpha bit: pixels the picture draws are opaque, its transparent pixels
// (and any padding the device asks for) keep alpha 0, so that the alpha test cuts them away.

#include <cstdint>
#include <memory>

#include "platform/device3d.h"

namespace course {

// Loads the picture at path into a new 16-bit texture of the device: with honourTransparent a
// format with an alpha bit (never 4-4-4-4), otherwise one without alpha. The size is rounded up to
// powers of two and made square when the device's texture caps ask for it; the picture sits in the
// top-left corner. Returns nullptr (with nothing left allocated) when the picture cannot be read,
// no offered format fits or the texture cannot be made. Release with platform::ReleaseDeviceTexture.
struct DeviceTextureDeleter {
    void operator()(platform::DeviceTexture* texture) const { platform::ReleaseDeviceTexture(texture); }
};
// A texture that releases itself.
using DeviceTexturePtr = std::unique_ptr<platform::DeviceTexture, DeviceTextureDeleter>;

platform::DeviceTexture* CreateTextureFromFni(platform::Device3D& device, const char* path,
                                              bool honourTransparent);

// The raw pixel at fractions (u, v) of the texture's width and height: column
// trunc((width - 1) x u) and row trunc((height - 1) x v), both wrapped into the texture. alphaMask
// receives the format's alpha mask; the texel is opaque when (pixel & alphaMask) != 0. Returns 0
// (and alphaMask 0) when the texture cannot be read.
uint32_t ReadTexel(platform::DeviceTexture& texture, float u, float v, uint32_t& alphaMask);

}  // namespace course
