#pragma once
// Changes made to a picture before it is reduced to a palette.

#include "tools/toolkit/rgba_image.h"

namespace tools {

// Darkens the colours by factor (0-1), keeping a little more blue, as ground looks in shade.
void ShadeImage(RgbaImage& image, double factor);

// Rounds every colour to what a 16-bit (5-6-5) screen shows, with an ordered dither, so that soft
// gradients such as a sky show no bands once the game draws them at that depth.
void DitherTo16Bit(RgbaImage& image);

// Makes a picture repeat without seams: each way in turn, it is cross-faded with a copy of itself
// moved by half its size, so that its edges continue into each other.
void MakeTileable(RgbaImage& image, bool across, bool down);

// Makes the outermost rows and columns transparent, so that a renderer repeating the picture's
// texture coordinates never draws one side's pixels along the other.
void ClearBorder(RgbaImage& image);

}  // namespace tools
