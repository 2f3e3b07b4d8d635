#pragma once
// PNG input and output for the asset tools.

#include <string>

#include "tools/toolkit/rgba_image.h"

namespace tools {

// Reads any PNG as 8-bit RGBA. Returns false and fills error on failure.
bool ReadPng(const std::string& path, RgbaImage& image, std::string& error);
// Writes an 8-bit RGBA PNG through a temporary file (no half-written file is left behind).
bool WritePng(const std::string& path, const RgbaImage& image, std::string& error);

}  // namespace tools
