// Triangle set-up and coverage: exact spans from integer edge functions on a 1/16-pixel grid with the
// top-left fill rule (pixel centres on integer coordinates), and the planes of the interpolated
// attributes; the span shaders do the per-pixel work.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "platform/device3d_pipeline.h"
#include "platform/device3d_span.h"

namespace platform::device_detail {

namespace {

constexpr int kSubPixelBits = 4;
constexpr float kSubPixels = 16.0f;
// Vertices further out than this (in pixels) are refused; the guard band keeps real ones far inside.
constexpr float kMaxCoordinate = 1.0e6f;

// The attributes interpolated across a triangle, in the order of the arrays below.
enum Attr { kZ, kRhw, kUq, kVq, kR, kG, kB, kA, kFog, kSr, kSg, kSb, kAttrCount };

struct Plane {
    float dx, dy;
};

struct EdgeFunction {
    int64_t a, b, c;  // E(px, py) = a px + b py + c in 1/16 pixels; covered where E >= threshold
    int64_t threshold;
};

// Rounds to the nearest integer (halves up); |v| must stay below 2^31.
int32_t RoundToInt(float v) {
    const float t = v + 0.5f;
    const auto i = static_cast<int32_t>(t);
    return static_cast<float>(i) > t ? i - 1 : i;
}

int64_t FloorDiv(int64_t n, int64_t d) {  // d > 0
    const int64_t q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}

EdgeFunction MakeEdge(int64_t px, int64_t py, int64_t qx, int64_t qy) {
    EdgeFunction e;
    e.a = -(qy - py);
    e.b = qx - px;
    e.c = (qy - py) * px - (qx - px) * py;
    const bool topLeft = e.a > 0 || (e.a == 0 && e.b > 0);
    e.threshold = topLeft ? 0 : 1;
    return e;
}

// Walks one edge down the rows without dividing per row. For an edge that is not horizontal,
// bound = floor((16 b y + c - threshold) / d) with d = 16 |a| is the first covered column (negated)
// of a left edge or the last covered column of a right edge; it is kept as quotient and remainder
// and stepped row by row.
struct EdgeWalker {
    enum Kind { kHorizontal, kLeft, kRight } kind;
    int64_t bound, remainder, divisor, stepWhole, stepRemainder;
    const EdgeFunction* edge;

    // rows: how many rows the walk covers (the step is only worked out when there is a next row).
    EdgeWalker(const EdgeFunction& e, int y, int rows) : edge(&e) {
        kind = e.a > 0 ? kLeft : (e.a < 0 ? kRight : kHorizontal);
        if (kind == kHorizontal) {
            bound = remainder = divisor = stepWhole = stepRemainder = 0;
            return;
        }
        divisor = (e.a > 0 ? e.a : -e.a) << kSubPixelBits;
        const int64_t m = e.b * (int64_t{y} << kSubPixelBits) + e.c - e.threshold;
        bound = FloorDiv(m, divisor);
        remainder = m - bound * divisor;
        stepWhole = rows > 1 ? FloorDiv(e.b << kSubPixelBits, divisor) : 0;
        stepRemainder = (e.b << kSubPixelBits) - stepWhole * divisor;
    }
    // Narrows [left, right] to the pixels of row y inside the edge.
    void Cut(int y, int& left, int& right) const {
        if (kind == kLeft) {
            left = static_cast<int>(std::max<int64_t>(left, -bound));
        } else if (kind == kRight) {
            right = static_cast<int>(std::min<int64_t>(right, bound));
        } else if (edge->b * (int64_t{y} << kSubPixelBits) + edge->c < edge->threshold) {
            right = left - 1;
        }
    }
    void NextRow() {
        bound += stepWhole;
        remainder += stepRemainder;
        if (remainder >= divisor) {
            remainder -= divisor;
            ++bound;
        }
    }
};

struct Triangle {
    float x0, y0;  // snapped position of the first vertex, pixels
    float base[kAttrCount];
    Plane plane[kAttrCount];
    uint32_t used;  // bit per attribute that the span shader reads
};

void Gather(const ScreenVertex& v, float* out) {
    out[kZ] = v.sz;
    out[kRhw] = v.rhw;
    out[kUq] = v.u * v.rhw;
    out[kVq] = v.v * v.rhw;
    out[kR] = v.r;
    out[kG] = v.g;
    out[kB] = v.b;
    out[kA] = v.a;
    out[kFog] = v.fog * 256.0f;
    out[kSr] = v.sr;
    out[kSg] = v.sg;
    out[kSb] = v.sb;
}

bool UseBilinear(const PixelState& s, const ScreenVertex* const* v, float screenArea2) {
    if (s.bilinearMag == s.bilinearMin) {
        return s.bilinearMag;
    }
    const float du1 = v[1]->u - v[0]->u, dv1 = v[1]->v - v[0]->v;
    const float du2 = v[2]->u - v[0]->u, dv2 = v[2]->v - v[0]->v;
    const float texelArea2 = std::fabs(du1 * dv2 - du2 * dv1) * static_cast<float>(s.sampler.width) *
                             static_cast<float>(s.sampler.height);
    return texelArea2 > screenArea2 ? s.bilinearMin : s.bilinearMag;
}

uint32_t UsedAttributes(const PixelState& s) {
    uint32_t used = 1u << kZ | 1u << kR | 1u << kG | 1u << kB | 1u << kA;
    if (s.textured) {
        used |= 1u << kRhw | 1u << kUq | 1u << kVq;
    }
    if (s.fog) {
        used |= 1u << kFog;
    }
    if (s.specular) {
        used |= 1u << kSr | 1u << kSg | 1u << kSb;
    }
    return used;
}

// The span's start values on row y from the triangle's planes.
SpanStart StartOfSpan(const Triangle& tri, int y, int left) {
    float at[kAttrCount] = {};
    const float ox = static_cast<float>(left) - tri.x0;
    const float oy = static_cast<float>(y) - tri.y0;
    for (int i = 0; i < kAttrCount; ++i) {
        if ((tri.used >> i & 1u) != 0) {
            at[i] = tri.base[i] + tri.plane[i].dx * ox + tri.plane[i].dy * oy;
        }
    }
    const Plane* p = tri.plane;
    return {at[kZ],   p[kZ].dx,   at[kRhw], p[kRhw].dx, at[kUq], p[kUq].dx, at[kVq], p[kVq].dx,
            at[kR],   p[kR].dx,   at[kG],   p[kG].dx,   at[kB],  p[kB].dx,  at[kA],  p[kA].dx,
            at[kFog], p[kFog].dx, at[kSr],  p[kSr].dx,  at[kSg], p[kSg].dx, at[kSb], p[kSb].dx};
}

}  // namespace

void SnapToGrid(ScreenVertex& v) {
    v.usable = std::fabs(v.sx) < kMaxCoordinate && std::fabs(v.sy) < kMaxCoordinate;
    v.fx = v.usable ? RoundToInt(v.sx * kSubPixels) : 0;
    v.fy = v.usable ? RoundToInt(v.sy * kSubPixels) : 0;
}

void RasterizeTriangle(const RasterTarget& target, const PixelState& state, const ScreenVertex& a,
                       const ScreenVertex& b, const ScreenVertex& c) {
    if (!a.usable || !b.usable || !c.usable) {
        return;
    }
    const ScreenVertex* v[3] = {&a, &b, &c};
    int64_t area2 =
        (int64_t{b.fx} - a.fx) * (int64_t{c.fy} - a.fy) - (int64_t{c.fx} - a.fx) * (int64_t{b.fy} - a.fy);
    if (area2 == 0) {
        return;
    }
    if (area2 < 0) {
        std::swap(v[1], v[2]);
        area2 = -area2;
    }
    int64_t sx[3], sy[3];
    for (int i = 0; i < 3; ++i) {
        sx[i] = v[i]->fx;
        sy[i] = v[i]->fy;
    }
    const EdgeFunction edges[3] = {MakeEdge(sx[0], sy[0], sx[1], sy[1]), MakeEdge(sx[1], sy[1], sx[2], sy[2]),
                                   MakeEdge(sx[2], sy[2], sx[0], sy[0])};

    const int64_t minY = std::min({sy[0], sy[1], sy[2]});
    const int64_t maxY = std::max({sy[0], sy[1], sy[2]});
    const int64_t minX = std::min({sx[0], sx[1], sx[2]});
    const int64_t maxX = std::max({sx[0], sx[1], sx[2]});
    const int top = static_cast<int>(std::max<int64_t>(target.top, -FloorDiv(-minY, 16)));
    const int bottom = static_cast<int>(std::min<int64_t>(target.bottom - 1, FloorDiv(maxY, 16)));
    const int left = static_cast<int>(std::max<int64_t>(target.left, -FloorDiv(-minX, 16)));
    const int right = static_cast<int>(std::min<int64_t>(target.right - 1, FloorDiv(maxX, 16)));
    if (top > bottom || left > right || !target.OwnsAnyRow(top, bottom)) {
        return;
    }

    Triangle tri{};
    tri.used = UsedAttributes(state);
    float attrs[3][kAttrCount];
    for (int i = 0; i < 3; ++i) {
        Gather(*v[i], attrs[i]);
    }
    // Attribute planes go through the exact vertex positions; only coverage uses the snapped grid.
    const float x0 = v[0]->sx, y0 = v[0]->sy;
    const float x1 = v[1]->sx - x0, y1 = v[1]->sy - y0;
    const float x2 = v[2]->sx - x0, y2 = v[2]->sy - y0;
    const float area = x1 * y2 - x2 * y1;
    if (area == 0.0f) {
        return;
    }
    tri.x0 = x0;
    tri.y0 = y0;
    const float invArea = 1.0f / area;
    for (int i = 0; i < kAttrCount; ++i) {
        if ((tri.used >> i & 1u) != 0) {
            const float d1 = attrs[1][i] - attrs[0][i], d2 = attrs[2][i] - attrs[0][i];
            tri.base[i] = attrs[0][i];
            tri.plane[i] = {(d1 * y2 - d2 * y1) * invArea, (d2 * x1 - d1 * x2) * invArea};
        }
    }

    const SpanShader shade = ChooseSpanShader(
        target, state, state.textured && UseBilinear(state, v, static_cast<float>(area2) / 256.0f));
    const int rows = bottom - top + 1;
    EdgeWalker walkers[3] = {EdgeWalker(edges[0], top, rows), EdgeWalker(edges[1], top, rows),
                             EdgeWalker(edges[2], top, rows)};
    for (int y = top; y <= bottom; ++y) {
        int spanLeft = left, spanRight = right;
        for (EdgeWalker& w : walkers) {
            w.Cut(y, spanLeft, spanRight);
            w.NextRow();
        }
        if (spanLeft <= spanRight && target.OwnsRow(y)) {
            shade(target, state, StartOfSpan(tri, y, spanLeft), y, spanLeft, spanRight);
        }
    }
}

}  // namespace platform::device_detail
