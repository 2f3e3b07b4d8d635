#pragma once
// A 2D drawing surface in a fixed pixel format, standing in for a DirectDraw surface: colour fills,
// colour-keyed copies and direct pixel access through lock/unlock. Game code sees only this header;
// the pixels live in an SDL surface.

#include <cstdint>

struct SDL_Surface;

namespace platform {

// Rectangles are {left, top, right, bottom} with right and bottom exclusive.
struct SurfaceRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct PixelFormat {
    int bitsPerPixel = 0;
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
    uint32_t alphaMask = 0;
};

inline constexpr PixelFormat kRgb565{16, 0xF800, 0x07E0, 0x001F, 0};
inline constexpr PixelFormat kRgb555{16, 0x7C00, 0x03E0, 0x001F, 0};
inline constexpr PixelFormat kArgb1555{16, 0x7C00, 0x03E0, 0x001F, 0x8000};
inline constexpr PixelFormat kArgb4444{16, 0x0F00, 0x00F0, 0x000F, 0xF000};
inline constexpr PixelFormat kRgb888{24, 0xFF0000, 0x00FF00, 0x0000FF, 0};
inline constexpr PixelFormat kXrgb8888{32, 0xFF0000, 0x00FF00, 0x0000FF, 0};

// Result codes of surface operations; 0 is success, negative values are failures.
inline constexpr int kSurfaceOk = 0;
inline constexpr int kSurfaceInvalidParams = -1;
inline constexpr int kSurfaceLost = -2;
inline constexpr int kSurfaceOutOfMemory = -3;

// What a successful lock gives: row r starts at bits + r * pitch.
struct LockedPixels {
    uint8_t* bits = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
    PixelFormat format{};
};

// Work that some other part of the program still owes a surface's pixels (a 3D device's queued
// drawing into it or from it). Every function in this header that reads, writes, locks or releases
// a surface's pixels, or marks it lost, has that work finished first; so must code that reaches
// DrawSurface::pixels another way (FinishPendingWork).
class PendingSurfaceWork {
  public:
    // Does the work and clears DrawSurface::pending of every surface it was pending on.
    virtual void Finish() = 0;

  protected:
    ~PendingSurfaceWork() = default;
};

struct DrawSurface {
    SDL_Surface* pixels = nullptr;
    PixelFormat format{};
    int width = 0;
    int height = 0;
    bool hasSourceKey = false;
    uint32_t sourceKey = 0;  // pixel value (in the surface's format) skipped by keyed copies
    bool locked = false;
    bool lost = false;                      // a lost surface refuses locks and copies until it is restored
    uint32_t changeCount = 0;               // advanced by every unlock, fill and copy into the surface
    PendingSurfaceWork* pending = nullptr;  // not owned; nullptr: none
};

// Finishes the work pending on the surface, if any.
void FinishPendingWork(DrawSurface& surface);

// Creates a surface of the given size and format, cleared to 0. Returns nullptr on failure
// (zero or negative size, unsupported depth, out of memory).
DrawSurface* CreateDrawSurface(int width, int height, const PixelFormat& format);
// Releases a surface; accepts nullptr.
void ReleaseDrawSurface(DrawSurface* surface);

int LockSurface(DrawSurface& surface, LockedPixels& out);
void UnlockSurface(DrawSurface& surface);

void SetSourceColorKey(DrawSurface& surface, uint32_t keyPixel);

// Surface loss: memory surfaces are never lost on their own, but the display code handles loss the
// same way as for video memory, so it can be provoked (tests) and repaired. Contents are kept.
void MarkSurfaceLost(DrawSurface& surface);
bool IsSurfaceLost(const DrawSurface& surface);
void RestoreSurface(DrawSurface& surface);

// Fills rect (nullptr: the whole surface), cut to the surface, with a pixel value already in the
// surface's format.
int ColorFill(DrawSurface& surface, const SurfaceRect* rect, uint32_t pixel);

// Copies srcRect of source to (x, y) of target, both in the same pixel format. The rectangle is cut
// to both surfaces. With useSourceKey, source pixels equal to the source's colour key are skipped.
int CopyRect(DrawSurface& target, int x, int y, DrawSurface& source, const SurfaceRect& srcRect,
             bool useSourceKey);

// Reads one pixel as 0xRRGGBB (for tests and captures); out-of-range reads give 0.
uint32_t ReadPixelRgb(DrawSurface& surface, int x, int y);

}  // namespace platform
