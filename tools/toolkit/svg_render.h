#pragma once
// Renders SVG art into an RGBA picture.

#include <string>

#include "tools/toolkit/rgba_image.h"

namespace tools {

// Renders the document into width x height pixels; width or height 0 takes the document's own size.
// Returns false and fills error when the file is missing or not valid SVG.
bool RenderSvg(const std::string& path, int width, int height, RgbaImage& image, std::string& error);

// The same for a document held in memory; name stands for it in error messages.
bool RenderSvgText(const std::string& svg, const std::string& name, int width, int height, RgbaImage& image,
                   std::string& error);

}  // namespace tools
