#pragma once
// Reduces an RGBA picture to a palette with libimagequant. Pixels whose alpha is below half become
// the transparent index; every other pixel gets an opaque palette colour. The transparent entry's
// colour is the average of the opaque pixels, so that filtered texture edges blend towards a colour
// of the picture rather than towards black.

#include <string>

#include "tools/toolkit/paletted_image.h"
#include "tools/toolkit/rgba_image.h"

namespace tools {

struct QuantizeOptions {
    float dithering = 1.0f;  // 0 (none) .. 1 (full)
    int speed = 4;           // libimagequant's 1 (best) .. 10 (fastest)
};

bool QuantizeImage(const RgbaImage& image, const QuantizeOptions& options, PalettedImage& out,
                   std::string& error);

}  // namespace tools
