#include <algorithm>
#include <cstring>

#include "game/present/fni_image.h"

namespace present {

namespace {

using platform::LockedPixels;
using platform::PixelFormat;
using platform::SurfaceRect;

// The picture's palette converted once per draw into pixels of the target surface. Indices beyond
// the palette stay 0 (black) instead of taking whatever memory held.
struct ColorLookup {
    uint32_t entry[256] = {};
    int bytesPerPixel = 0;  // 0: a depth this drawing code does not handle
};

ColorLookup BuildLookup(const FniImage& image, const PixelFormat& format, bool compressedPath) {
    ColorLookup lookup;
    const bool is565 = format.bitsPerPixel == 16 && format.greenMask == 0x07E0;
    const bool is555 = format.bitsPerPixel == 16 && format.greenMask == 0x03E0;
    if (is565 || is555) {
        lookup.bytesPerPixel = 2;
    } else if (format.bitsPerPixel == 24 || format.bitsPerPixel == 32) {
        lookup.bytesPerPixel = format.bitsPerPixel / 8;
    } else {
        return lookup;
    }
    const uint32_t alpha = is555 && compressedPath ? format.alphaMask : 0;
    const size_t count = std::min<size_t>({image.paletteCount, image.palette.size() / 4, 256});
    for (size_t i = 0; i < count; ++i) {
        const uint32_t blue = image.palette[i * 4];
        const uint32_t green = image.palette[i * 4 + 1];
        const uint32_t red = image.palette[i * 4 + 2];
        const uint32_t reserved = image.palette[i * 4 + 3];
        if (is565) {
            lookup.entry[i] = (red >> 3) << 11 | (green >> 2) << 5 | blue >> 3;
        } else if (is555) {
            lookup.entry[i] = (red >> 3) << 10 | (green >> 3) << 5 | blue >> 3 | alpha;
        } else {
            lookup.entry[i] = blue | green << 8 | red << 16 | reserved << 24;
        }
    }
    return lookup;
}

void PutPixel(uint8_t* p, int bytesPerPixel, uint32_t value) {
    if (bytesPerPixel == 2) {
        const auto v = static_cast<uint16_t>(value);
        std::memcpy(p, &v, 2);
    } else if (bytesPerPixel == 4) {
        std::memcpy(p, &value, 4);
    } else {
        p[0] = static_cast<uint8_t>(value);
        p[1] = static_cast<uint8_t>(value >> 8);
        p[2] = static_cast<uint8_t>(value >> 16);
    }
}

// Writes count indices through the lookup, starting at surface column sx of row. The pixel size is
// chosen once per run, not per pixel.
template <int Bpp>
void WriteSpanOf(uint8_t* p, const uint8_t* indices, int64_t count, const ColorLookup& lookup) {
    for (int64_t i = 0; i < count; ++i, p += Bpp) {
        PutPixel(p, Bpp, lookup.entry[indices[i]]);
    }
}

void WriteSpan(uint8_t* row, int64_t sx, const uint8_t* indices, int64_t count, const ColorLookup& lookup) {
    uint8_t* p = row + sx * lookup.bytesPerPixel;
    switch (lookup.bytesPerPixel) {
        case 2:
            WriteSpanOf<2>(p, indices, count, lookup);
            break;
        case 3:
            WriteSpanOf<3>(p, indices, count, lookup);
            break;
        default:
            WriteSpanOf<4>(p, indices, count, lookup);
            break;
    }
}

// Walks the run stream, skip run first. A run that goes past the end of a row is cut at the row
// end and the next run starts the next row; nothing is written outside the picture's rows and
// columns or outside the surface.
void DrawCompressed(const LockedPixels& target, const FniImage& image, int64_t x, int64_t y,
                    const ColorLookup& lookup) {
    const std::vector<uint8_t>& stream = image.pixels;
    const int64_t width = image.width;
    const int64_t firstColumn = std::max<int64_t>(0, -x);
    const int64_t endColumn = std::min<int64_t>(width, target.width - x);
    size_t in = 0;
    int64_t column = 0;
    int64_t row = 0;
    bool literal = false;
    while (in < stream.size() && row < image.height) {
        const int64_t count = stream[in++];
        if (literal) {
            const int64_t available = std::min<int64_t>(count, static_cast<int64_t>(stream.size() - in));
            const int64_t sy = y + row;
            const int64_t from = std::max(column, firstColumn);
            const int64_t to = std::min(column + available, endColumn);
            if (sy >= 0 && sy < target.height && from < to) {
                WriteSpan(target.bits + sy * target.pitch, x + from, stream.data() + in + (from - column),
                          to - from, lookup);
            }
            in += static_cast<size_t>(available);
        }
        column += count;
        literal = !literal;
        if (column >= width) {
            column = 0;
            ++row;
        }
    }
}

// Draws the part of an expanded picture inside source with its corner at (x, y), clipped at the
// surface edges. Returns kFniNothingDrawn when nothing is left after clipping.
int DrawExpanded(const LockedPixels& target, const FniImage& image, int64_t x, int64_t y,
                 const SurfaceRect* sourceRect, const ColorLookup& lookup) {
    int64_t left = 0;
    int64_t top = 0;
    int64_t right = image.width;
    int64_t bottom = image.height;
    if (sourceRect != nullptr) {
        left = sourceRect->left;
        top = sourceRect->top;
        right = std::min<int64_t>(sourceRect->right, image.width);
        bottom = std::min<int64_t>(sourceRect->bottom, image.height);
    }
    // A source rectangle reaching before the picture starts at the picture, drawn where it belongs.
    if (left < 0) {
        x -= left;
        left = 0;
    }
    if (top < 0) {
        y -= top;
        top = 0;
    }
    if (x < 0) {
        left -= x;
        x = 0;
    }
    if (y < 0) {
        top -= y;
        y = 0;
    }
    if (left <= right && top <= bottom) {
        if (x + (right - left) > target.width) {
            right = target.width + left - x;
        }
        if (y + (bottom - top) > target.height) {
            bottom = target.height + top - y;
        }
    }
    if (left > right || top > bottom) {
        return kFniNothingDrawn;
    }
    const int bpp = lookup.bytesPerPixel;
    for (int64_t r = top; r < bottom; ++r) {
        const uint8_t* source = image.pixels.data() + r * image.width;
        uint8_t* row = target.bits + (y + r - top) * target.pitch + x * bpp;
        for (int64_t c = left; c < right; ++c) {
            const uint8_t index = source[c];
            if (index != image.transparentIndex) {
                PutPixel(row + (c - left) * bpp, bpp, lookup.entry[index]);
            }
        }
    }
    return 0;
}

}  // namespace

int DrawFni(platform::DrawSurface& surface, const FniImage& image, int x, int y,
            const platform::SurfaceRect* sourceRect) {
    LockedPixels target;
    const int locked = platform::LockSurface(surface, target);
    if (locked != platform::kSurfaceOk) {
        return locked;
    }
    const bool compressed = image.compressed != 0;
    const ColorLookup lookup = BuildLookup(image, target.format, compressed);
    int result = 0;
    if (lookup.bytesPerPixel != 0) {
        if (compressed) {
            DrawCompressed(target, image, x, y, lookup);
        } else if (image.pixels.size() >= static_cast<size_t>(image.width) * image.height) {
            result = DrawExpanded(target, image, x, y, sourceRect, lookup);
        } else {
            result = kFniNothingDrawn;
        }
    }
    platform::UnlockSurface(surface);
    return result;
}

}  // namespace present
