#include "game/course/sky_picture.h"

#include <algorithm>
#include <cstdio>

#include "game/core/game_paths.h"

namespace course {

namespace {

bool SameFormat(const platform::PixelFormat& a, const platform::PixelFormat& b) {
    return a.bitsPerPixel == b.bitsPerPixel && a.redMask == b.redMask && a.greenMask == b.greenMask &&
           a.blueMask == b.blueMask && a.alphaMask == b.alphaMask;
}

void LoadSky(SkyPicture& sky, int skyIndex) {
    sky = SkyPicture{};
    sky.index = skyIndex;
    char name[32];
    std::snprintf(name, sizeof(name), "Sky%02d%s", skyIndex, ".fni");
    sky.loaded = present::LoadFni(sky.picture, core::DataPath(core::kFolderSky, name).text, false) == 0;
}

// The part of the target the picture covers.
platform::SurfaceRect SkyRect(const SkyPicture& sky, const platform::DrawSurface& target) {
    return {0, 0, std::min<int>(sky.picture.width, target.width),
            std::min<int>(sky.picture.height, target.height)};
}

// The ready pixels stand for clear and draw only where the viewport covers the whole picture: under
// the picture's transparent parts they hold the clear colour.
bool ViewportCovers(const platform::DeviceViewport& vp, const platform::SurfaceRect& r) {
    return vp.x <= 0 && vp.y <= 0 && vp.x + vp.width >= r.right && vp.y + vp.height >= r.bottom;
}

bool ReadyFits(const SkyPicture& sky, const platform::DrawSurface& target, uint32_t clearColor) {
    return sky.ready != nullptr && sky.readyClearColor == clearColor &&
           SameFormat(sky.readyFormat, target.format);
}

}  // namespace

void ClearToSky(platform::Device3D& device, platform::DrawSurface& target, SkyPicture& sky, int skyIndex,
                uint32_t clearColor) {
    if (sky.index != skyIndex) {
        LoadSky(sky, skyIndex);
    }
    const platform::SurfaceRect rect = SkyRect(sky, target);
    const platform::DeviceViewport vp = platform::GetViewport(device);
    const bool covered = sky.loaded && rect.right > 0 && rect.bottom > 0 && ViewportCovers(vp, rect);
    if (covered && ReadyFits(sky, target, clearColor)) {
        // Depth everywhere, colour only around the picture, then the picture's rows.
        platform::Clear(device, nullptr, 0, platform::kClearZBuffer, clearColor, 1.0f);
        const platform::SurfaceRect around[2] = {{rect.right, vp.y, vp.x + vp.width, rect.bottom},
                                                 {vp.x, rect.bottom, vp.x + vp.width, vp.y + vp.height}};
        platform::Clear(device, around, 2, platform::kClearTarget, clearColor, 1.0f);
        platform::CopyRect(target, 0, 0, *sky.ready, rect, false);
        return;
    }
    platform::Clear(device, nullptr, 0, platform::kClearTarget | platform::kClearZBuffer, clearColor, 1.0f);
    if (!sky.loaded) {
        return;
    }
    present::DrawFni(target, sky.picture, 0, 0, nullptr);
    if (covered) {
        sky.ready.reset(platform::CreateDrawSurface(rect.right, rect.bottom, target.format));
        if (sky.ready != nullptr) {
            platform::CopyRect(*sky.ready, 0, 0, target, rect, false);
            sky.readyClearColor = clearColor;
            sky.readyFormat = target.format;
        }
    }
}

}  // namespace course
