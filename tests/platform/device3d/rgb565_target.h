#pragma once
// A raster target over test-owned 16-bit colour and depth rows, for tests that call the rasteriser
// and span shaders directly.

#include <cstdint>
#include <vector>

#include "platform/device3d/raster.h"

namespace platform::device_detail {

// A 565 target with depth, width pixels wide and as many rows high as color holds; depth must be
// as large as color.
inline RasterTarget Rgb565Target(std::vector<uint16_t>& color, std::vector<uint16_t>& depth, int width) {
    RasterTarget t;
    t.color = reinterpret_cast<uint8_t*>(color.data());
    t.colorPitch = width * 2;
    t.format = kRgb565;
    t.depth = reinterpret_cast<uint8_t*>(depth.data());
    t.depthPitch = width * 2;
    t.right = width;
    t.bottom = static_cast<int>(color.size()) / width;
    return t;
}

}  // namespace platform::device_detail
