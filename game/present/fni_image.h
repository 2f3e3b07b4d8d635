#pragma once
// An "FNIBMP" picture: 8-bit palette indices, run-length coded with one transparent index while
// compressed, or width x height index bytes after expansion. A record never loaded (or freed) is
// empty: 0 x 0 with no buffers.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/draw_surface.h"

namespace present {

inline constexpr int kFniHeaderSize = 19;
// Pictures larger than this many pixels are refused, so that a damaged header cannot ask for
// gigabytes when the picture is expanded.
inline constexpr uint32_t kFniMaxPixels = 4096u * 4096u;

// Results of LoadFni beyond 0 (callers may ignore them: a failed load leaves the record as it was).
inline constexpr int kFniMissingFile = 1;
inline constexpr int kFniBadHeader = 2;
inline constexpr int kFniTooLarge = 3;

// DrawFni's result when clipping left nothing of an expanded picture.
inline constexpr int kFniNothingDrawn = 1;

struct FniImage {
    char magic[6] = {};
    uint16_t unread = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t transparentIndex = 0;
    uint16_t paletteCount = 0;
    uint32_t dataSize = 0;
    std::vector<uint8_t> palette;  // paletteCount entries of blue, green, red, reserved
    std::vector<uint8_t> pixels;   // compressed: the run stream; expanded: width x height indices
    uint32_t compressed = 0;
};

// Reads a picture file. keepCompressed false expands it at once. On any failure (missing file,
// wrong magic, truncated header or palette, absurd size) the record is left unchanged and a
// non-zero code is returned. A pixel stream cut short by the end of the file keeps what was read.
int LoadFni(FniImage& image, const char* path, bool keepCompressed);
// The same from bytes already in memory.
int LoadFniFromBytes(FniImage& image, const uint8_t* data, size_t size, bool keepCompressed);

// Turns the run stream into width x height indices. Runs that would go past the end of the picture
// are cut; pixels the stream does not reach stay transparent. Does nothing to an expanded record.
int ExpandFni(FniImage& image);

// Draws the picture with its top-left corner at (x, y). A compressed picture is drawn whole (the
// source rectangle is ignored); an expanded one draws the part inside sourceRect (nullptr: all of
// it), clipped at the surface edges. Every write stays inside the picture's area and the surface.
// Returns 0, kFniNothingDrawn when clipping left nothing of an expanded picture, or the lock error.
int DrawFni(platform::DrawSurface& surface, const FniImage& image, int x, int y,
            const platform::SurfaceRect* sourceRect);

// Frees both buffers and empties the record.
int FreeFni(FniImage& image);

}  // namespace present
