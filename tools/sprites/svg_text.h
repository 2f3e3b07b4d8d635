#pragma once
// Small helpers that write SVG markup: numbers, colours, a document around a body, and the
// picture output shared by every sprite series.

#include <string>

#include "tools/toolkit/rgba_image.h"

namespace sprites {

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A complete SVG document of width x height pixels around the body (defs included).
std::string SvgDocument(int width, int height, const std::string& body);

// Text escaped for use inside an SVG element.
std::string EscapeXml(const std::string& text);

// Renders the document and writes it as an FNI picture at path. Returns false and fills error.
bool WriteSvgPicture(const std::string& svg, const std::string& path, int width, int height,
                     std::string& error);
// The palette reduction and FNI writing for a picture already rendered.
bool WritePicture(const tools::RgbaImage& image, const std::string& path, std::string& error);

}  // namespace sprites
