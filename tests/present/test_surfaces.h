#pragma once
// Owning handles and raw pixel access for tests that draw on surfaces.

#include <cstring>
#include <memory>

#include "platform/draw_surface.h"

namespace test_surfaces {

struct Deleter {
    void operator()(platform::DrawSurface* s) const { platform::ReleaseDrawSurface(s); }
};
using SurfacePtr = std::unique_ptr<platform::DrawSurface, Deleter>;

inline SurfacePtr Make(int w, int h, const platform::PixelFormat& f) {
    return SurfacePtr(platform::CreateDrawSurface(w, h, f));
}

// The pixel as stored, in the surface's own format.
inline uint32_t Raw(platform::DrawSurface& s, int x, int y) {
    platform::LockedPixels px;
    if (platform::LockSurface(s, px) != 0) {
        return 0xDEADBEEF;
    }
    const int bpp = px.format.bitsPerPixel / 8;
    uint32_t v = 0;
    std::memcpy(&v, px.bits + y * px.pitch + x * bpp, static_cast<size_t>(bpp));
    platform::UnlockSurface(s);
    return v;
}

}  // namespace test_surfaces
