#include "game/present/draw_primitives.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace present {

namespace {

using platform::DrawSurface;
using platform::LockedPixels;
using platform::SurfaceRect;

bool Is565(const platform::PixelFormat& f) {
    return f.bitsPerPixel == 16 && f.greenMask == 0x07E0;
}
bool Is555(const platform::PixelFormat& f) {
    return f.bitsPerPixel == 16 && f.greenMask == 0x03E0;
}

void StorePixel(uint8_t* p, int bytesPerPixel, uint32_t value) {
    if (bytesPerPixel == 2) {
        const auto v = static_cast<uint16_t>(value);
        std::memcpy(p, &v, 2);
    } else if (bytesPerPixel == 3) {
        p[0] = static_cast<uint8_t>(value);
        p[1] = static_cast<uint8_t>(value >> 8);
        p[2] = static_cast<uint8_t>(value >> 16);
    } else if (bytesPerPixel == 4) {
        std::memcpy(p, &value, 4);
    }
}

uint16_t Load16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

}  // namespace

uint32_t ConvertColor(const DrawSurface& surface, uint32_t c) {
    const platform::PixelFormat& f = surface.format;
    if (f.greenMask == 0x07E0) {
        return ((c >> 8) & f.redMask) | ((c >> 5) & f.greenMask) | ((c >> 3) & f.blueMask);
    }
    if (f.greenMask == 0x03E0) {
        return ((c >> 9) & f.redMask) | ((c >> 6) & f.greenMask) | ((c >> 3) & f.blueMask);
    }
    return c;
}

int FillSurface(DrawSurface& surface, uint32_t rgb) {
    return platform::ColorFill(surface, nullptr, ConvertColor(surface, rgb));
}

int FillRect(DrawSurface& surface, const SurfaceRect& rect, uint32_t rgb) {
    return platform::ColorFill(surface, &rect, ConvertColor(surface, rgb));
}

void DrawFrame(DrawSurface& surface, const SurfaceRect& r, uint32_t rgb) {
    FillRect(surface, {r.left, r.top, r.right, r.top + 1}, rgb);
    FillRect(surface, {r.left, r.bottom, r.right, r.bottom + 1}, rgb);
    FillRect(surface, {r.left, r.top, r.left + 1, r.bottom}, rgb);
    FillRect(surface, {r.right, r.top, r.right + 1, r.bottom + 1}, rgb);
}

void DarkenRect(DrawSurface& surface, const SurfaceRect& rect) {
    LockedPixels px;
    if (platform::LockSurface(surface, px) != platform::kSurfaceOk) {
        return;
    }
    const int left = std::max(rect.left, 0);
    const int right = std::min(rect.right, px.width);
    const int top = std::max(rect.top, 0);
    const int lastRow = std::min(rect.bottom, px.height - 1);
    const int bpp = px.format.bitsPerPixel / 8;
    for (int y = top; y <= lastRow; ++y) {
        uint8_t* p =
            px.bits + static_cast<std::ptrdiff_t>(y) * px.pitch + static_cast<std::ptrdiff_t>(left) * bpp;
        for (int x = left; x < right; ++x, p += bpp) {
            if (Is565(px.format)) {
                StorePixel(p, 2, (Load16(p) >> 1) & 0x7BEF);
            } else if (Is555(px.format)) {
                StorePixel(p, 2, (Load16(p) >> 1) & 0x3DEF);
            } else if (bpp == 3) {
                p[0] >>= 1;
                p[1] >>= 1;
                p[2] >>= 1;
            } else if (bpp == 4) {
                uint32_t v;
                std::memcpy(&v, p, 4);
                StorePixel(p, 4, (v >> 1) & 0xFF7F7F7Fu);
            }
        }
    }
    platform::UnlockSurface(surface);
}

void DrawLine(DrawSurface& surface, int x0, int y0, int x1, int y1, uint32_t rgb) {
    DrawLineClipped(surface, x0, y0, x1, y1, rgb, 0, 0, surface.width, surface.height);
}

void DrawLineClipped(DrawSurface& surface, int x0, int y0, int x1, int y1, uint32_t rgb, int clipLeft,
                     int clipTop, int clipRight, int clipBottom) {
    LockedPixels px;
    if (platform::LockSurface(surface, px) != platform::kSurfaceOk) {
        return;
    }
    const int bpp = px.format.bitsPerPixel / 8;
    const uint32_t pixel = ConvertColor(surface, rgb);
    clipLeft = std::max(clipLeft, 0);
    clipTop = std::max(clipTop, 0);
    clipRight = std::min(clipRight, px.width);
    clipBottom = std::min(clipBottom, px.height);
    const int64_t dx = static_cast<int64_t>(x1) - x0;
    const int64_t dy = static_cast<int64_t>(y1) - y0;
    const int64_t sx = (dx > 0) - (dx < 0);
    const int64_t sy = (dy > 0) - (dy < 0);
    const int64_t ax = std::llabs(dx) + (sx != 0 ? 1 : 0);
    const int64_t ay = std::llabs(dy) + (sy != 0 ? 1 : 0);
    const int64_t n = std::max(ax, ay);
    int64_t ex = 0;
    int64_t ey = 0;
    int64_t x = x0;
    int64_t y = y0;
    for (int64_t i = 0; i < n; ++i) {
        if (x >= clipLeft && x < clipRight && y >= clipTop && y < clipBottom) {
            StorePixel(px.bits + y * px.pitch + x * bpp, bpp, pixel);
        }
        ex += ax;
        ey += ay;
        if (ex > n) {
            ex -= n;
            x += sx;
        }
        if (ey > n) {
            ey -= n;
            y += sy;
        }
    }
    platform::UnlockSurface(surface);
}

}  // namespace present
