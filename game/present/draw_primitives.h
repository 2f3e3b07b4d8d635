#pragma once
// The 2D primitives all HUD drawing uses. Colours are 0xRRGGBB and converted per surface.
// Rectangles are {left, top, right, bottom}; everything is cut to the surface.

#include <cstdint>

#include "platform/draw_surface.h"

namespace present {

// The pixel value of an 0xRRGGBB colour on this surface: 16-bit 565 and 555 surfaces (told apart by
// the green mask) get it packed; any other format takes the colour as it is.
uint32_t ConvertColor(const platform::DrawSurface& surface, uint32_t rgb);

int FillSurface(platform::DrawSurface& surface, uint32_t rgb);
int FillRect(platform::DrawSurface& surface, const platform::SurfaceRect& rect, uint32_t rgb);

// A one-pixel outline covering columns left to right and rows top to bottom, both inclusive.
void DrawFrame(platform::DrawSurface& surface, const platform::SurfaceRect& rect, uint32_t rgb);

// Halves every pixel of columns left to right - 1 and rows top to bottom (the bottom row included),
// for the see-through backgrounds of text boxes and panels.
void DarkenRect(platform::DrawSurface& surface, const platform::SurfaceRect& rect);

// A line stepped from (x0, y0) towards (x1, y1); the end point itself is not plotted and a line
// from a point to itself plots nothing. Only pixels inside the clip rectangle (cut to the surface)
// are plotted.
void DrawLine(platform::DrawSurface& surface, int x0, int y0, int x1, int y1, uint32_t rgb);
void DrawLineClipped(platform::DrawSurface& surface, int x0, int y0, int x1, int y1, uint32_t rgb,
                     int clipLeft, int clipTop, int clipRight, int clipBottom);

}  // namespace present
