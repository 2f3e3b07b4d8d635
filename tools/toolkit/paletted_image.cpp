#include "tools/toolkit/paletted_image.h"

namespace tools {

RgbaImage PalettedToRgba(const PalettedImage& image) {
    RgbaImage out = MakeRgbaImage(image.width, image.height);
    const int count = PaletteCount(image);
    for (size_t i = 0; i < image.indices.size(); ++i) {
        const uint8_t index = image.indices[i];
        uint8_t* pixel = &out.rgba[i * 4];
        if (index == image.transparentIndex || index >= count) {
            continue;  // stays fully transparent
        }
        pixel[0] = image.palette[index * 4 + 2];
        pixel[1] = image.palette[index * 4 + 1];
        pixel[2] = image.palette[index * 4 + 0];
        pixel[3] = 255;
    }
    return out;
}

}  // namespace tools
