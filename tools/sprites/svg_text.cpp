#include "tools/sprites/svg_text.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "tools/toolkit/fni_encoder.h"
#include "tools/toolkit/output_file.h"
#include "tools/toolkit/palette_quantizer.h"
#include "tools/toolkit/svg_render.h"

namespace sprites {

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) {
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    }
    va_end(args);
    return text;
}

std::string SvgDocument(int width, int height, const std::string& body) {
    return Format(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\">",
               width, height, width, height) +
           body + "</svg>";
}

std::string EscapeXml(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

bool WritePicture(const tools::RgbaImage& image, const std::string& path, std::string& error) {
    tools::QuantizeOptions options;
    options.speed = 8;
    options.dithering = 0.5f;
    tools::PalettedImage paletted;
    if (!tools::QuantizeImage(image, options, paletted, error)) {
        error = path + ": " + error;
        return false;
    }
    return tools::WriteFileAtomically(path, tools::EncodeFni(paletted), error);
}

bool WriteSvgPicture(const std::string& svg, const std::string& path, int width, int height,
                     std::string& error) {
    tools::RgbaImage image;
    if (!tools::RenderSvgText(svg, path, width, height, image, error)) {
        return false;
    }
    return WritePicture(image, path, error);
}

}  // namespace sprites
