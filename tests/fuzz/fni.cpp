// Feeds arbitrary bytes to the picture loader, then expands and draws the result at a few places of
// a small surface, compressed and expanded.
#include <cstddef>
#include <cstdint>

#include "game/present/fni_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static platform::DrawSurface* target = platform::CreateDrawSurface(64, 48, platform::kRgb565);
    present::FniImage image;
    if (present::LoadFniFromBytes(image, data, size, true) != 0) {
        return 0;
    }
    const int places[][2] = {{0, 0}, {-7, 3}, {40, 30}, {60, -5}};
    for (const auto& p : places) {
        present::DrawFni(*target, image, p[0], p[1], nullptr);
    }
    present::ExpandFni(image);
    const platform::SurfaceRect part{2, 1, 30, 20};
    for (const auto& p : places) {
        present::DrawFni(*target, image, p[0], p[1], nullptr);
        present::DrawFni(*target, image, p[0], p[1], &part);
    }
    present::FreeFni(image);
    return 0;
}
