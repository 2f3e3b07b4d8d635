#include "tools/toolkit/palette_quantizer.h"

#include <libimagequant.h>

#include <limits>

namespace tools {
namespace {

constexpr uint8_t kOpaqueThreshold = 128;

bool IsOpaque(const RgbaImage& image, size_t pixel) {
    return image.rgba[pixel * 4 + 3] >= kOpaqueThreshold;
}

// Alpha becomes all or nothing, and transparent pixels all share one colour, so that the quantiser
// spends no palette entries on them.
std::vector<uint8_t> BinaryAlphaCopy(const RgbaImage& image) {
    std::vector<uint8_t> copy(image.rgba);
    const size_t count = copy.size() / 4;
    for (size_t i = 0; i < count; ++i) {
        if (IsOpaque(image, i)) {
            copy[i * 4 + 3] = 255;
        } else {
            copy[i * 4 + 0] = copy[i * 4 + 1] = copy[i * 4 + 2] = copy[i * 4 + 3] = 0;
        }
    }
    return copy;
}

int NearestOpaqueEntry(const liq_palette& palette, const uint8_t* rgba, int excluded) {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (unsigned i = 0; i < palette.count; ++i) {
        const liq_color& c = palette.entries[i];
        if (static_cast<int>(i) == excluded || c.a < kOpaqueThreshold) {
            continue;
        }
        const int dr = c.r - rgba[0];
        const int dg = c.g - rgba[1];
        const int db = c.b - rgba[2];
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

void AverageOpaqueColour(const RgbaImage& image, uint8_t bgr[3]) {
    uint64_t sum[3] = {0, 0, 0};
    uint64_t count = 0;
    const size_t pixels = image.rgba.size() / 4;
    for (size_t i = 0; i < pixels; ++i) {
        if (IsOpaque(image, i)) {
            for (int c = 0; c < 3; ++c) {
                sum[c] += image.rgba[i * 4 + c];
            }
            ++count;
        }
    }
    for (int c = 0; c < 3; ++c) {
        bgr[2 - c] = count == 0 ? 0 : static_cast<uint8_t>(sum[c] / count);
    }
}

}  // namespace

bool QuantizeImage(const RgbaImage& image, const QuantizeOptions& options, PalettedImage& out,
                   std::string& error) {
    if (image.width <= 0 || image.height <= 0 || image.width > 65535 || image.height > 65535) {
        error = "picture size out of range (1..65535 pixels each way)";
        return false;
    }
    const std::vector<uint8_t> input = BinaryAlphaCopy(image);
    liq_attr* attr = liq_attr_create();
    liq_set_max_colors(attr, 255);  // leaves room for a transparent entry of our own
    liq_set_speed(attr, options.speed);
    liq_image* liqImage = liq_image_create_rgba(attr, input.data(), image.width, image.height, 0);
    liq_result* result = nullptr;
    if (liqImage == nullptr || liq_image_quantize(liqImage, attr, &result) != LIQ_OK) {
        error = "the palette reduction failed";
        if (liqImage != nullptr) {
            liq_image_destroy(liqImage);
        }
        liq_attr_destroy(attr);
        return false;
    }
    liq_set_dithering_level(result, options.dithering);
    PalettedImage paletted;
    paletted.width = image.width;
    paletted.height = image.height;
    paletted.indices.resize(static_cast<size_t>(image.width) * image.height);
    liq_write_remapped_image(result, liqImage, paletted.indices.data(), paletted.indices.size());
    const liq_palette& palette = *liq_get_palette(result);

    int transparent = -1;
    for (unsigned i = 0; i < palette.count; ++i) {
        if (palette.entries[i].a < kOpaqueThreshold) {
            transparent = static_cast<int>(i);
            break;
        }
    }
    const int entryCount =
        transparent >= 0 ? static_cast<int>(palette.count) : static_cast<int>(palette.count) + 1;
    if (transparent < 0) {
        transparent = static_cast<int>(palette.count);
    }
    paletted.transparentIndex = static_cast<uint8_t>(transparent);
    paletted.palette.assign(static_cast<size_t>(entryCount) * 4, 0);
    for (unsigned i = 0; i < palette.count; ++i) {
        paletted.palette[i * 4 + 0] = palette.entries[i].b;
        paletted.palette[i * 4 + 1] = palette.entries[i].g;
        paletted.palette[i * 4 + 2] = palette.entries[i].r;
    }
    AverageOpaqueColour(image, &paletted.palette[static_cast<size_t>(transparent) * 4]);

    // Transparency follows the source exactly, whatever the remapping and dithering did.
    for (size_t i = 0; i < paletted.indices.size(); ++i) {
        uint8_t& index = paletted.indices[i];
        if (!IsOpaque(image, i)) {
            index = paletted.transparentIndex;
        } else if (index == paletted.transparentIndex || index >= palette.count ||
                   palette.entries[index].a < kOpaqueThreshold) {
            index = static_cast<uint8_t>(NearestOpaqueEntry(palette, &image.rgba[i * 4], transparent));
        }
    }
    liq_result_destroy(result);
    liq_image_destroy(liqImage);
    liq_attr_destroy(attr);
    out = std::move(paletted);
    return true;
}

}  // namespace tools
