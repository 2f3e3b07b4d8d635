#include "tools/toolkit/image_adjust.h"

#include <algorithm>
#include <cmath>

namespace tools {
namespace {

constexpr int kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// The 8-bit value nearest to `value` that a channel of `bits` bits shows, dithered by threshold t
// (0 to 1).
uint8_t Quantize(int value, int bits, double t) {
    const int levels = (1 << bits) - 1;
    const double scaled = value * levels / 255.0;
    const int level = std::clamp(static_cast<int>(std::floor(scaled + t)), 0, levels);
    // Expand the way a 16-bit surface's colour is widened back to 8 bits.
    return static_cast<uint8_t>(std::lround(level * 255.0 / levels));
}

// 1 in the middle of a span of n, falling to 0 at both ends.
double Tent(int i, int n) {
    return 1.0 - std::fabs(2.0 * (i + 0.5) / n - 1.0);
}

void CrossFade(RgbaImage& image, bool across) {
    const RgbaImage source = image;
    const int w = image.width, h = image.height;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int sx = across ? (x + w / 2) % w : x;
            const int sy = across ? y : (y + h / 2) % h;
            const double keep = across ? Tent(x, w) : Tent(y, h);
            uint8_t* out = &image.rgba[(static_cast<size_t>(y) * w + x) * 4];
            const uint8_t* moved = &source.rgba[(static_cast<size_t>(sy) * w + sx) * 4];
            for (int c = 0; c < 4; ++c) {
                out[c] = static_cast<uint8_t>(std::lround(out[c] * keep + moved[c] * (1 - keep)));
            }
        }
    }
}

}  // namespace

void MakeTileable(RgbaImage& image, bool across, bool down) {
    if (across && image.width > 1) {
        CrossFade(image, true);
    }
    if (down && image.height > 1) {
        CrossFade(image, false);
    }
}

void ClearBorder(RgbaImage& image) {
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (x == 0 || y == 0 || x == image.width - 1 || y == image.height - 1) {
                image.rgba[(static_cast<size_t>(y) * image.width + x) * 4 + 3] = 0;
            }
        }
    }
}

void ShadeImage(RgbaImage& image, double factor) {
    const double scale[3] = {factor, factor * 1.04, std::min(1.0, factor * 1.15)};
    for (size_t i = 0; i + 3 < image.rgba.size(); i += 4) {
        for (int c = 0; c < 3; ++c) {
            image.rgba[i + c] =
                static_cast<uint8_t>(std::clamp(std::lround(image.rgba[i + c] * scale[c]), 0L, 255L));
        }
    }
}

void DitherTo16Bit(RgbaImage& image) {
    constexpr int kBits[3] = {5, 6, 5};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const double t = (kBayer4[y % 4][x % 4] + 0.5) / 16.0;
            uint8_t* p = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
            for (int c = 0; c < 3; ++c) {
                p[c] = Quantize(p[c], kBits[c], t);
            }
        }
    }
}

}  // namespace tools
