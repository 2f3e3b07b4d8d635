#include "game/course/fni_texture.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "game/present/fni_image.h"

namespace course {

namespace {

int NextPowerOfTwo(int n) {
    int p = 1;
    while (p < n) {
        p <<= 1;
    }
    return p;
}

// The first offered 16-bit format with an alpha bit exactly when one is wanted, leaving out
// 4-4-4-4 (too few colour bits for the course pictures).
const platform::PixelFormat* ChooseFormat(const platform::Device3D& device, bool withAlpha) {
    for (const platform::PixelFormat& f : platform::EnumTextureFormats(device)) {
        if (f.bitsPerPixel == 16 && f.alphaMask != 0xF000 && (f.alphaMask != 0) == withAlpha) {
            return &f;
        }
    }
    return nullptr;
}

// The picture's transparent palette entry in the texture's format, alpha bit clear.
uint32_t TransparentPixel(const present::FniImage& image, const platform::PixelFormat& format) {
    const size_t entry = static_cast<size_t>(image.transparentIndex) * 4;
    if (entry + 3 > image.palette.size()) {
        return 0;
    }
    const uint32_t blue = image.palette[entry], green = image.palette[entry + 1],
                   red = image.palette[entry + 2];
    switch (format.greenMask) {
        case 0x07E0:
            return (red >> 3) << 11 | (green >> 2) << 5 | blue >> 3;
        case 0x03E0:
            return (red >> 3) << 10 | (green >> 3) << 5 | blue >> 3;
        default:
            return red << 16 | green << 8 | blue;
    }
}

// Wraps trunc(scale x f) into 0 .. size - 1 as an unsigned remainder.
int WrapCoordinate(float f, int size) {
    const float scaled = static_cast<float>(size - 1) * f;
    if (!(std::fabs(scaled) < 2.0e9f)) {
        return 0;
    }
    const auto whole = static_cast<uint32_t>(static_cast<int32_t>(scaled));
    return static_cast<int>(whole % static_cast<uint32_t>(size));
}

}  // namespace

platform::DeviceTexture* CreateTextureFromFni(platform::Device3D& device, const char* path,
                                              bool honourTransparent) {
    present::FniImage image;
    if (present::LoadFni(image, path, true) != 0) {
        return nullptr;
    }
    int width = image.width, height = image.height;
    const uint32_t caps = platform::GetCaps(device).textureCaps;
    if ((caps & platform::kTextureCapsPow2) != 0) {
        width = NextPowerOfTwo(width);
        height = NextPowerOfTwo(height);
    }
    if ((caps & platform::kTextureCapsSquareOnly) != 0) {
        width = height = width > height ? width : height;
    }
    const platform::PixelFormat* format = ChooseFormat(device, honourTransparent);
    platform::DeviceTexture* texture =
        format != nullptr ? platform::CreateDeviceTexture(width, height, *format) : nullptr;
    if (texture == nullptr) {
        present::FreeFni(image);
        return nullptr;
    }
    if (honourTransparent) {
        platform::ColorFill(*texture->surface, nullptr, TransparentPixel(image, *format));
    }
    const int drawn = present::DrawFni(*texture->surface, image, 0, 0, nullptr);
    present::FreeFni(image);
    if (drawn != 0) {
        platform::ReleaseDeviceTexture(texture);
        return nullptr;
    }
    return texture;
}

uint32_t ReadTexel(platform::DeviceTexture& texture, float u, float v, uint32_t& alphaMask) {
    alphaMask = 0;
    platform::LockedPixels px;
    if (texture.surface == nullptr || platform::LockSurface(*texture.surface, px) != platform::kSurfaceOk) {
        return 0;
    }
    const int x = WrapCoordinate(u, px.width);
    const int y = WrapCoordinate(v, px.height);
    alphaMask = px.format.alphaMask;
    const int bytes = px.format.bitsPerPixel / 8;
    uint32_t pixel = 0;
    std::memcpy(&pixel, px.bits + static_cast<std::ptrdiff_t>(y) * px.pitch + x * bytes,
                static_cast<size_t>(bytes));
    // Reading leaves the picture as it was: the device's decoded copy stays valid.
    const uint32_t change = texture.surface->changeCount;
    platform::UnlockSurface(*texture.surface);
    texture.surface->changeCount = change;
    return pixel;
}

}  // namespace course
