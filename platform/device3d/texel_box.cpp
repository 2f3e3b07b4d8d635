// The box of texels a rectangle of pixels can read, and the test that a triangle's alpha test drops
// all of its pixels.

#include "platform/device3d/texel_box.h"

#include <algorithm>
#include <cmath>

#include "platform/device3d/pixel.h"

namespace platform::device_detail {

namespace {

// The shaders work the coordinates out in floats, a few roundings each (every one within 2^-24 of
// the magnitudes involved); this allows 2^-16, far more.
constexpr double kSlack = 1.0 / 65536.0;
// Coordinates beyond this many texture repeats are not bounded (the walks start such ones at 0).
constexpr double kMaxRepeats = 1.0e6;

// One coordinate's range over the rectangle, in texels, with the shaders' rounding allowed for.
struct Range {
    double low = INFINITY, high = -INFINITY;
};

// The texels [first, last] along one axis of a texture size texels wide that quads at positions in
// range (in texture repeats) read: each position's texel and the next, one more either side for the
// fixed-point steps. The whole axis when that spans a repeat or more.
bool AxisTexels(const Range& range, int size, float offset, int64_t& first, int64_t& last) {
    const double low = range.low * size - offset, high = range.high * size - offset;
    if (!(low > -kMaxRepeats * size && high < kMaxRepeats * size)) {
        return false;
    }
    first = static_cast<int64_t>(std::floor(low)) - 1;
    last = static_cast<int64_t>(std::floor(high)) + 2;
    if (last - first + 1 >= size) {
        first = 0;
        last = size - 1;
    }
    return true;
}

}  // namespace

bool FindTexelBox(const TexturePlanes& p, int left, int right, int top, int bottom, int width, int height,
                  float offset, TexelBox& box) {
    if (left > right || top > bottom || width <= 0 || height <= 0) {
        return false;
    }
    // A span's last run ends one pixel past it.
    const double xs[2] = {left - static_cast<double>(p.x0), right + 1 - static_cast<double>(p.x0)};
    const double ys[2] = {top - static_cast<double>(p.y0), bottom - static_cast<double>(p.y0)};
    const double farX = std::max(std::fabs(xs[0]), std::fabs(xs[1])) + (right - left + 2);
    const double farY = std::max(std::fabs(ys[0]), std::fabs(ys[1]));
    // The largest magnitude a shader's sums of each plane meet anywhere in the rectangle: from a row's
    // start it steps on across the row.
    const auto magnitude = [&](float value, float across, float down) {
        return std::fabs(value) + std::fabs(across) * farX + std::fabs(down) * farY;
    };
    const double qError = kSlack * magnitude(p.q, p.qx, p.qy);
    const double uqError = kSlack * magnitude(p.uq, p.uqx, p.uqy);
    const double vqError = kSlack * magnitude(p.vq, p.vqx, p.vqy);
    // u = uq / q and v = vq / q over a rectangle where q > 0 are largest and smallest at its corners
    // (each is at least a given value on one side of a line).
    double qLow = INFINITY;
    Range u, v;
    for (const double x : xs) {
        for (const double y : ys) {
            const double q = p.q + p.qx * x + p.qy * y;
            const double cu = (p.uq + p.uqx * x + p.uqy * y) / q;
            const double cv = (p.vq + p.vqx * x + p.vqy * y) / q;
            qLow = std::min(qLow, q);
            u = {std::min(u.low, cu), std::max(u.high, cu)};
            v = {std::min(v.low, cv), std::max(v.high, cv)};
        }
    }
    if (!(qLow > 2.0 * qError) || !(std::fabs(u.low) < kMaxRepeats && std::fabs(u.high) < kMaxRepeats &&
                                    std::fabs(v.low) < kMaxRepeats && std::fabs(v.high) < kMaxRepeats)) {
        return false;
    }
    // (uq + e1) / (q + e2) differs from uq / q by at most (|e1| + |u| |e2|) / (q - |e2|); the walks'
    // own roundings add a part of |u|.
    const auto widen = [&](Range& r, double error) {
        const double largest = std::max(std::fabs(r.low), std::fabs(r.high));
        const double e = (error + largest * qError) / (qLow - qError) + largest * kSlack;
        r = {r.low - e, r.high + e};
    };
    widen(u, uqError);
    widen(v, vqError);
    return AxisTexels(u, width, offset, box.left, box.right) &&
           AxisTexels(v, height, offset, box.top, box.bottom);
}

bool DropsTransparentTexels(const PixelState& s) {
    const bool alphaFromTexture =
        s.alphaSource == ColorSource::kTexture || s.alphaSource == ColorSource::kModulate;
    return s.textured && s.alphaTest && alphaFromTexture && !Compare(s.alphaFunc, 0, s.alphaRef);
}

bool ReadsOnlyClearBlocks(const Sampler& s, bool bilinear, const TexturePlanes& planes, int left, int right,
                          int top, int bottom) {
    TexelBox box;
    return s.alphaBlocks.Known() &&
           FindTexelBox(planes, left, right, top, bottom, s.width, s.height, bilinear ? 0.5f : 0.0f, box) &&
           s.alphaBlocks.BoxClear(box.left, box.right, box.top, box.bottom);
}

}  // namespace platform::device_detail
