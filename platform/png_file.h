#pragma once
// Saving a drawing surface as an RGB PNG file (captures of the presented picture), and reading one
// back (picture comparisons).

#include <cstdint>
#include <vector>

#include "platform/draw_surface.h"

namespace platform {

// Returns 0 on success, non-zero when the file cannot be written.
int WritePng(DrawSurface& surface, const char* path);

// Reads any PNG file as 0xRRGGBB pixels, row by row. Returns 0, or non-zero (pixels emptied) when
// the file is missing or not a readable PNG.
int ReadPng(const char* path, int& width, int& height, std::vector<uint32_t>& pixels);
// The same with the transparency kept: 0xAARRGGBB pixels.
int ReadPngArgb(const char* path, int& width, int& height, std::vector<uint32_t>& pixels);

}  // namespace platform
