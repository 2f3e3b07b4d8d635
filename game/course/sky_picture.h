#pragma once
// The hole's sky picture, read and decoded once, and kept as ready pixels of the back buffer so that
// a frame copies it instead of reading the file and drawing it again.

#include <cstdint>
#include <memory>

#include "game/present/fni_image.h"
#include "platform/device3d.h"
#include "platform/draw_surface.h"

namespace course {

struct DrawSurfaceDeleter {
    void operator()(platform::DrawSurface* surface) const { platform::ReleaseDrawSurface(surface); }
};
using DrawSurfacePtr = std::unique_ptr<platform::DrawSurface, DrawSurfaceDeleter>;

struct SkyPicture {
    int index = -1;  // the sky picture held; -1 none yet
    bool loaded = false;
    present::FniImage picture;  // expanded
    // The picture as drawn over the clear colour, taken from the first frame whose viewport covered
    // it; null until then.
    DrawSurfacePtr ready;
    uint32_t readyClearColor = 0;
    platform::PixelFormat readyFormat;
};

// Clears the device's viewport (colour and depth) to clearColor and draws sky picture skyIndex at
// the top-left corner of the render target over it. A missing picture leaves the clear colour.
void ClearToSky(platform::Device3D& device, platform::DrawSurface& target, SkyPicture& sky, int skyIndex,
                uint32_t clearColor);

}  // namespace course
