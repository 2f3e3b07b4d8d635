#pragma once
// A plain 8-bit RGBA picture, rows top to bottom, four bytes per pixel (red, green, blue, alpha).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tools {

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

inline RgbaImage MakeRgbaImage(int width, int height) {
    RgbaImage image;
    image.width = width;
    image.height = height;
    image.rgba.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
    return image;
}

}  // namespace tools
