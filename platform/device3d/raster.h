#pragma once
// Rasterisation of triangles for the software 3D device: coverage on the snapped grid and the set-up
// of the attributes the span shaders interpolate.

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "platform/device3d/pipeline.h"
#include "platform/device3d/span.h"

namespace platform::device_detail {

inline constexpr int kSubPixelBits = 4;
inline constexpr float kSubPixels = 16.0f;
// Vertices further out than this (in pixels) are refused; the guard band keeps real ones far inside.
// Snapped coordinates therefore stay below 1.6e7 < 2^24 sub-pixels in size, their differences below
// 2^25 and products of two differences below 2^50.
inline constexpr float kMaxCoordinate = 1.0e6f;

// Rounds to the nearest integer (halves up); |v| must stay below 2^31.
inline int32_t RoundToInt(float v) {
    const float t = v + 0.5f;
    const auto i = static_cast<int32_t>(t);
    return static_cast<float>(i) > t ? i - 1 : i;
}

// Fills in the snapped position of a vertex whose sx, sy are set. Inline, like FindTriangleBox:
// both run for every vertex or triangle of a mesh, most of which turn out to cover no pixel.
inline void SnapToGrid(ScreenVertex& v) {
    v.usable = std::fabs(v.sx) < kMaxCoordinate && std::fabs(v.sy) < kMaxCoordinate;
    v.fx = v.usable ? RoundToInt(v.sx * kSubPixels) : 0;
    v.fy = v.usable ? RoundToInt(v.sy * kSubPixels) : 0;
}

// Finds the box of a triangle of usable vertices; false when it holds no pixel centre of the
// target.
inline bool FindTriangleBox(const RasterTarget& target, const SnappedPoint& a, const SnappedPoint& b,
                            const SnappedPoint& c, TriangleBox& box) {
    // Pairwise, which compiles to conditional moves: the vertices come in every order, so branches
    // here are mispredicted often.
    box.minX = std::min(a.fx, std::min(b.fx, c.fx));
    box.maxX = std::max(a.fx, std::max(b.fx, c.fx));
    box.minY = std::min(a.fy, std::min(b.fy, c.fy));
    box.maxY = std::max(a.fy, std::max(b.fy, c.fy));
    // Pixel centres inside the box (the shifts round towards minus infinity).
    box.top = std::max(target.top, -(-box.minY >> kSubPixelBits));
    box.bottom = std::min(target.bottom - 1, box.maxY >> kSubPixelBits);
    box.left = std::max(target.left, -(-box.minX >> kSubPixelBits));
    box.right = std::min(target.right - 1, box.maxX >> kSubPixelBits);
    return box.top <= box.bottom && box.left <= box.right;
}

// The same for screen vertices; also false when a vertex is not usable (the triangle then draws
// nothing).
inline bool FindTriangleBox(const RasterTarget& target, const ScreenVertex& a, const ScreenVertex& b,
                            const ScreenVertex& c, TriangleBox& box) {
    if (!a.usable || !b.usable || !c.usable) {
        return false;
    }
    return FindTriangleBox(target, SnappedPoint{a.fx, a.fy}, SnappedPoint{b.fx, b.fy},
                           SnappedPoint{c.fx, c.fy}, box);
}

// The copy of a texture a triangle reads: 0 for the texture itself, k for the one halved k times,
// at most levels. The texture is halved once for every four texels per pixel beyond the first, that
// is while texelArea2 / 4^k is at least 4 screenArea2 (twice the triangle's area in texels of the
// full-size texture and in pixels).
inline int MipLevel(float texelArea2, float screenArea2, int levels) {
    const float limit = 4.0f * screenArea2;
    if (!(limit >= 0x1p-100f && limit <= 0x1p100f)) {
        int level = 0;
        for (float ratio = texelArea2; level < levels && ratio >= limit; ratio *= 0.25f) {
            ++level;
        }
        return level;
    }
    if (!(texelArea2 >= limit) || levels <= 0) {  // also not-a-number
        return 0;
    }
    // The ratio runs texelArea2, texelArea2 / 4, ... while it is at least the limit: over positive
    // floats of normal size (and infinity) the bit patterns order as the values do and a quarter
    // takes 2 << 23 off the pattern, so the number of steps is the patterns' difference / (2 << 23).
    const int32_t steps = (std::bit_cast<int32_t>(texelArea2) - std::bit_cast<int32_t>(limit)) >> 24;
    return std::min(levels, steps + 1);
}

// The shaders of one draw, chosen once for its target and state: row shaders for triangles whose
// texture is sampled at points and for those sampled bilinearly, the same for triangles narrower
// than four pixels (one row at a time, without the set-up that wider rows share), and the pixel
// shaders for triangles that cover one pixel.
struct SpanShaders {
    RowShader point;
    RowShader bilinear;
    RowShader narrowPoint;
    RowShader narrowBilinear;
    SpanShader pixelPoint;
    SpanShader pixelBilinear;
    // Textured in the common state (IsCommonState), without fog, alpha test or blending: the pixel
    // shader of bilinear sampling is pixelBilinear's.
    bool opaqueCommon;
    // The alpha test drops every pixel whose texels are all transparent (DropsTransparentTexels).
    bool dropsTransparent;
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
