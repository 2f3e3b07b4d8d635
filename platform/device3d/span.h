#pragma once
// Shading of the horizontal spans of a triangle: depth test, perspective-correct texturing, colour
// combination, alpha test, specular, fog, blending, dithered write and depth write. One shader per
// combination of the features that cost most, chosen once per draw.

#include "platform/device3d/pipeline.h"

namespace platform::device_detail {

// Attribute values at the span's first pixel and their change per pixel. Colours are 0..255, fog
// 0..256 (the part of the pixel's own colour kept, in 256ths), q = 1 / w, uq = u / w, vq = v / w.
struct SpanStart {
    float z, dz;
    float q, dq;
    float uq, duq;
    float vq, dvq;
    float r, dr, g, dg, b, db, a, da;
    float fog, dfog;
    float sr, dsr, sg, dsg, sb, dsb;
};

using SpanShader = void (*)(const RasterTarget& target, const PixelState& state, const SpanStart& start,
                            int y, int left, int right);

SpanShader ChooseSpanShader(const RasterTarget& target, const PixelState& state, bool bilinear);
// A shader for spans of exactly one pixel (left == right) that gives the pixel the span shader
// gives; it reads none of the start's steps.
SpanShader ChoosePixelShader(const RasterTarget& target, const PixelState& state, bool bilinear);

// The covered pixels [left, right] of row y of a triangle and the attributes at its first pixel.
struct SpanRow {
    SpanStart start;
    int y, left, right;
};

// Shades rows of one triangle, count >= 1, as the span shader (the pixel shader for rows of one
// pixel) would one by one. The rows' steps are the triangle's, the same in every row: what depends
// on them alone is set up once for all rows.
using RowShader = void (*)(const RasterTarget& target, const PixelState& state, const SpanRow* rows,
                           int count);

RowShader ChooseRowShader(const RasterTarget& target, const PixelState& state, bool bilinear);
// The row shaders one pixel at a time, for every state: each row through ChooseSpanShader's or
// ChoosePixelShader's shader. They cost less than ChooseRowShader's on rows of a few pixels.
RowShader ChooseScalarRowShader(const RasterTarget& target, const PixelState& state, bool bilinear);

}  // namespace platform::device_detail
