#pragma once
// The texels a triangle can read: from the perspective planes of its texture coordinates, a box of
// texels that holds every texel the samples of a rectangle of pixels mix. A triangle whose box holds
// only transparent texels draws nothing under an alpha test that drops alpha 0, so it need not be
// shaded at all.

#include <cstdint>

#include "platform/device3d/pipeline.h"

namespace platform::device_detail {

// q = 1 / w, u q and v q over the screen: each is its value at pixel (x0, y0) plus its change per
// pixel across (x) and down (y) times the distance from there.
struct TexturePlanes {
    float x0 = 0.0f, y0 = 0.0f;
    float q = 0.0f, qx = 0.0f, qy = 0.0f;
    float uq = 0.0f, uqx = 0.0f, uqy = 0.0f;
    float vq = 0.0f, vqx = 0.0f, vqy = 0.0f;
};

// Texels [left, right] x [top, bottom] of the texture repeated without end (wrap them to read).
struct TexelBox {
    int64_t left = 0, right = 0, top = 0, bottom = 0;
};

// The box holding every texel that the spans of rows with pixels in [left, right] x [top, bottom]
// of a width x height texture read: each sample's texel and its right and lower neighbours (the
// bilinear quad). offset is the sampler's (0.5 bilinear, 0 point). A span's samples are exact at
// the ends of its runs, the last one the pixel past its end, and linear in between; along a row, u
// and v change monotonically, so they stay within the values at the rectangle (widened by that
// pixel)'s corners. The shaders' float rounding is allowed for. false where that cannot be bounded:
// w not positive everywhere in the rectangle, or coordinates out of range.
bool FindTexelBox(const TexturePlanes& planes, int left, int right, int top, int bottom, int width,
                  int height, float offset, TexelBox& box);

// Whether the alpha test of s drops every pixel whose texels are all transparent: alpha comes from
// the texture (alone or times the diffuse alpha) and the test drops alpha 0.
bool DropsTransparentTexels(const PixelState& s);

// Whether every texel that the rows of a triangle with these texture planes read (FindTexelBox) lies
// in a block of s without a visible texel; the rows' pixels lie in [left, right] x [top, bottom].
// false where that is not known (also where s knows no blocks).
bool ReadsOnlyClearBlocks(const Sampler& s, bool bilinear, const TexturePlanes& planes, int left, int right,
                          int top, int bottom);

}  // namespace platform::device_detail
