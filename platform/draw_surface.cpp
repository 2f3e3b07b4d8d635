#include "platform/draw_surface.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// Cuts a rectangle to {0, 0, width, height}; returns false when nothing is left.
bool ClipToSurface(SurfaceRect& r, int width, int height) {
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, width);
    r.bottom = std::min(r.bottom, height);
    return r.left < r.right && r.top < r.bottom;
}

void WritePixel(uint8_t* p, int bytesPerPixel, uint32_t value) {
    switch (bytesPerPixel) {
        case 2: {
            uint16_t v = static_cast<uint16_t>(value);
            std::memcpy(p, &v, 2);
            break;
        }
        case 3:
            p[0] = static_cast<uint8_t>(value);
            p[1] = static_cast<uint8_t>(value >> 8);
            p[2] = static_cast<uint8_t>(value >> 16);
            break;
        case 4:
            std::memcpy(p, &value, 4);
            break;
        default:
            break;
    }
}

uint32_t ReadRawPixel(const uint8_t* p, int bytesPerPixel) {
    switch (bytesPerPixel) {
        case 2: {
            uint16_t v;
            std::memcpy(&v, p, 2);
            return v;
        }
        case 3:
            return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                   static_cast<uint32_t>(p[2]) << 16;
        case 4: {
            uint32_t v;
            std::memcpy(&v, p, 4);
            return v;
        }
        default:
            return 0;
    }
}

// Expands one channel given its mask to 8 bits.
uint32_t ChannelTo8(uint32_t pixel, uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1u) == 0) {
        ++shift;
    }
    uint32_t max = mask >> shift;
    uint32_t value = (pixel & mask) >> shift;
    return (value * 255u + max / 2) / max;
}

}  // namespace

void FinishPendingWork(DrawSurface& surface) {
    if (surface.pending != nullptr) {
        surface.pending->Finish();
    }
}

DrawSurface* CreateDrawSurface(int width, int height, const PixelFormat& format) {
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    if (format.bitsPerPixel != 16 && format.bitsPerPixel != 24 && format.bitsPerPixel != 32) {
        return nullptr;
    }
    SDL_Surface* s = SDL_CreateRGBSurface(0, width, height, format.bitsPerPixel, format.redMask,
                                          format.greenMask, format.blueMask, format.alphaMask);
    if (s == nullptr) {
        return nullptr;
    }
    SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_NONE);
    std::memset(s->pixels, 0, static_cast<size_t>(s->pitch) * static_cast<size_t>(height));
    auto* surface = new DrawSurface;
    surface->pixels = s;
    surface->format = format;
    surface->width = width;
    surface->height = height;
    return surface;
}

void ReleaseDrawSurface(DrawSurface* surface) {
    if (surface == nullptr) {
        return;
    }
    FinishPendingWork(*surface);
    SDL_FreeSurface(surface->pixels);
    delete surface;
}

int LockSurface(DrawSurface& surface, LockedPixels& out) {
    FinishPendingWork(surface);
    if (surface.pixels == nullptr) {
        return kSurfaceInvalidParams;
    }
    if (surface.lost) {
        return kSurfaceLost;
    }
    surface.locked = true;
    out.bits = static_cast<uint8_t*>(surface.pixels->pixels);
    out.pitch = surface.pixels->pitch;
    out.width = surface.width;
    out.height = surface.height;
    out.format = surface.format;
    return kSurfaceOk;
}

void UnlockSurface(DrawSurface& surface) {
    surface.locked = false;
    ++surface.changeCount;
}

void SetSourceColorKey(DrawSurface& surface, uint32_t keyPixel) {
    surface.hasSourceKey = true;
    surface.sourceKey = keyPixel;
}

void MarkSurfaceLost(DrawSurface& surface) {
    FinishPendingWork(surface);
    surface.lost = true;
}
bool IsSurfaceLost(const DrawSurface& surface) {
    return surface.lost;
}
void RestoreSurface(DrawSurface& surface) {
    surface.lost = false;
}

int ColorFill(DrawSurface& surface, const SurfaceRect* rect, uint32_t pixel) {
    FinishPendingWork(surface);
    if (surface.pixels == nullptr) {
        return kSurfaceInvalidParams;
    }
    if (surface.lost) {
        return kSurfaceLost;
    }
    SurfaceRect r = rect != nullptr ? *rect : SurfaceRect{0, 0, surface.width, surface.height};
    if (!ClipToSurface(r, surface.width, surface.height)) {
        return kSurfaceOk;
    }
    ++surface.changeCount;
    const int bpp = surface.format.bitsPerPixel / 8;
    auto* base = static_cast<uint8_t*>(surface.pixels->pixels);
    const int pitch = surface.pixels->pitch;
    // The first row pixel by pixel, every other row as a copy of it.
    uint8_t* first = base + static_cast<ptrdiff_t>(r.top) * pitch + r.left * bpp;
    for (int x = 0; x < r.right - r.left; ++x) {
        WritePixel(first + x * bpp, bpp, pixel);
    }
    const auto rowBytes = static_cast<size_t>(r.right - r.left) * static_cast<size_t>(bpp);
    for (int y = r.top + 1; y < r.bottom; ++y) {
        std::memcpy(base + static_cast<ptrdiff_t>(y) * pitch + r.left * bpp, first, rowBytes);
    }
    return kSurfaceOk;
}

int CopyRect(DrawSurface& target, int x, int y, DrawSurface& source, const SurfaceRect& srcRect,
             bool useSourceKey) {
    FinishPendingWork(target);
    FinishPendingWork(source);
    if (target.pixels == nullptr || source.pixels == nullptr ||
        target.format.bitsPerPixel != source.format.bitsPerPixel) {
        return kSurfaceInvalidParams;
    }
    if (target.lost || source.lost) {
        return kSurfaceLost;
    }
    SurfaceRect src = srcRect;
    // Cut the source to its own surface, moving the destination with it.
    if (src.left < 0) {
        x -= src.left;
        src.left = 0;
    }
    if (src.top < 0) {
        y -= src.top;
        src.top = 0;
    }
    src.right = std::min(src.right, source.width);
    src.bottom = std::min(src.bottom, source.height);
    // Then cut to the target.
    if (x < 0) {
        src.left -= x;
        x = 0;
    }
    if (y < 0) {
        src.top -= y;
        y = 0;
    }
    src.right = std::min(src.right, src.left + (target.width - x));
    src.bottom = std::min(src.bottom, src.top + (target.height - y));
    if (src.left >= src.right || src.top >= src.bottom) {
        return kSurfaceOk;
    }
    ++target.changeCount;
    const int bpp = target.format.bitsPerPixel / 8;
    const int rowBytes = (src.right - src.left) * bpp;
    const bool keyed = useSourceKey && source.hasSourceKey;
    auto* sbase = static_cast<uint8_t*>(source.pixels->pixels);
    auto* tbase = static_cast<uint8_t*>(target.pixels->pixels);
    for (int row = src.top; row < src.bottom; ++row) {
        const uint8_t* s = sbase + static_cast<ptrdiff_t>(row) * source.pixels->pitch + src.left * bpp;
        uint8_t* t = tbase + static_cast<ptrdiff_t>(y + row - src.top) * target.pixels->pitch + x * bpp;
        if (!keyed) {
            std::memmove(t, s, static_cast<size_t>(rowBytes));
            continue;
        }
        for (int i = 0; i < rowBytes; i += bpp) {
            if (ReadRawPixel(s + i, bpp) != source.sourceKey) {
                std::memcpy(t + i, s + i, static_cast<size_t>(bpp));
            }
        }
    }
    return kSurfaceOk;
}

uint32_t ReadPixelRgb(DrawSurface& surface, int x, int y) {
    FinishPendingWork(surface);
    if (surface.pixels == nullptr || x < 0 || y < 0 || x >= surface.width || y >= surface.height) {
        return 0;
    }
    const int bpp = surface.format.bitsPerPixel / 8;
    const auto* p = static_cast<const uint8_t*>(surface.pixels->pixels) +
                    static_cast<ptrdiff_t>(y) * surface.pixels->pitch + x * bpp;
    const uint32_t raw = ReadRawPixel(p, bpp);
    const PixelFormat& f = surface.format;
    return ChannelTo8(raw, f.redMask) << 16 | ChannelTo8(raw, f.greenMask) << 8 | ChannelTo8(raw, f.blueMask);
}

}  // namespace platform
