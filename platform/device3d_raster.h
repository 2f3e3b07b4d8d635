#pragma once
// Rasterisation of triangles for the software 3D device: coverage on the snapped grid and the set-up
// of the attributes the span shaders interpolate.

#include <cstdint>

#include "platform/device3d_pipeline.h"
#include "platform/device3d_span.h"

namespace platform::device_detail {

// The pixel centres a triangle may cover: the box around its vertices on the snapped grid (in
// 1/16 pixels) and the pixels inside it, cut to the target.
struct TriangleBox {
    int32_t minX, maxX, minY, maxY;
    int top, bottom, left, right;
};

// Finds the box of a triangle; false when it holds no pixel centre of the target or a vertex is
// not usable (the triangle then draws nothing).
bool FindTriangleBox(const RasterTarget& target, const ScreenVertex& a, const ScreenVertex& b,
                     const ScreenVertex& c, TriangleBox& box);

// The span shaders of one draw, chosen once for its target and state: for triangles whose texture
// is sampled at points and for those sampled bilinearly, each for spans of any length and for spans
// of one pixel.
struct SpanShaders {
    SpanShader point;
    SpanShader bilinear;
    SpanShader pointPixel;
    SpanShader bilinearPixel;
    uint32_t attributes;  // the attributes the shaders read, one bit each in SpanStart's order
    // The draw's state with the sampler of each smaller copy of its texture, the first half-size
    // one first: a triangle whose texture is minified reads the copy nearest one texel per pixel.
    const PixelState* mipStates = nullptr;
    int mipCount = 0;

    SpanShaders(const RasterTarget& target, const PixelState& state);
};

// Draws a triangle of usable vertices in either winding (culling is the caller's), with the box
// FindTriangleBox found for it.
void RasterizeTriangle(const RasterTarget& target, const PixelState& state, const SpanShaders& shaders,
                       const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                       const TriangleBox& box);
// The same for a triangle whose box is not known yet.
void RasterizeTriangle(const RasterTarget& target, const PixelState& state, const SpanShaders& shaders,
                       const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c);

}  // namespace platform::device_detail
