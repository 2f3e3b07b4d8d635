// Rasterisation of a triangle: its coverage on the snapped grid is found first (coverage.h), so
// that triangles that cover no pixel centre (most of the far terrain) cost little; the planes of its
// attributes are set up (setup.h) once a row turns out to be covered, and its covered rows go to the
// span shaders, which do the per-pixel work.

#include <algorithm>
#include <cstdint>

#include "platform/device3d/coverage.h"
#include "platform/device3d/raster.h"
#include "platform/device3d/setup.h"
#include "platform/device3d/span_scalar.h"
#include "platform/device3d/texel_box.h"

namespace platform::device_detail {

namespace {

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

// Whether every texel that rows[0 .. count) of a triangle read lies in a transparent block of the
// texture (see ReadsOnlyClearBlocks). Out of line: only alpha-tested draws come here.
[[gnu::noinline]] bool ReadsOnlyClearBlocks(const TriangleShading& shading, const SpanRow* rows, int count) {
    int left = rows[0].left, right = rows[0].right;
    for (int i = 1; i < count; ++i) {
        left = std::min(left, rows[i].left);
        right = std::max(right, rows[i].right);
    }
    return ReadsOnlyClearBlocks(shading.drawn->sampler, shading.bilinear, shading.planes.Texture(), left,
                                right, rows[0].y, rows[count - 1].y);
}

// Shades the covered rows of a triangle, kRowBatch rows to a shader call; the planes are only set up
// once a row of the target turns out to be covered.
constexpr int kRowBatch = 16;
constexpr int kNarrowRow = 4, kNarrowRows = 4;

template <typename Coverage>
void ShadeRows(const RasterTarget& target, const PixelState& state, const SpanShaders& shaders,
               const ScreenVertex* const* v, int64_t snappedArea2, const TriangleBox& box,
               Coverage& coverage) {
    // A few short rows cost less one by one than with the set-up that the vector shaders share
    // among a triangle's rows.
    const bool narrow = box.right - box.left < kNarrowRow - 1 && box.bottom - box.top < kNarrowRows - 1;
    TriangleShading shading;
    RowShader shade = nullptr;
    SpanRow rows[kRowBatch];
    int queued = 0;
    // A batch of rows that reads only transparent texels is dropped where the alpha test drops them
    // (most of a backdrop's sky).
    const auto shadeBatch = [&] {
        if (!shaders.dropsTransparent || !ReadsOnlyClearBlocks(shading, rows, queued)) {
            shade(target, *shading.drawn, rows, queued);
        }
        queued = 0;
    };
    for (int y = box.top; y <= box.bottom; ++y) {
        int left, right;
        coverage.NextRow(left, right);
        if (left > right) {
            continue;
        }
        if (shade == nullptr) {
            if (!shading.Set(state, shaders, v, snappedArea2)) {
                return;
            }
            shade = narrow ? (shading.bilinear ? shaders.narrowBilinear : shaders.narrowPoint)
                           : (shading.bilinear ? shaders.bilinear : shaders.point);
        }
        SpanRow& row = rows[queued];
        shading.planes.Start(y, left, row.start);
        row.y = y;
        row.left = left;
        row.right = right;
        if (++queued == kRowBatch) {
            shadeBatch();
        }
    }
    if (queued > 0) {
        shadeBatch();
    }
}

// Shades a triangle that covers the one pixel (x, y): straight through the pixel shader, without
// queueing a row (most triangles of a distant mesh cover one pixel or none). The pixel shader of
// opaque textured triangles in the common state without fog, the map's, is compiled in here (with
// everything else this calls), so that the start values go to it in registers.
[[gnu::flatten]] void ShadeOnePixel(const RasterTarget& target, const PixelState& state,
                                    const SpanShaders& shaders, const SnappedTriangle& t, int x, int y) {
    TriangleShading shading;
    SpanStart start;
    if (shaders.attributes == kFirstTwoQuads) {
        if (!OnePixelStart(t.v, x, y, start)) {
            return;
        }
        shading.ChooseTexture(state, shaders, t.v, t.area2);
    } else {
        if (!shading.Set(state, shaders, t.v, t.area2)) {
            return;
        }
        shading.planes.Start(y, x, start);
    }
    if (shaders.opaqueCommon && shading.bilinear) {
        ShadePixel<true, true, false, false, false, true>(target, *shading.drawn, start, y, x, x);
        return;
    }
    (shading.bilinear ? shaders.pixelBilinear : shaders.pixelPoint)(target, *shading.drawn, start, y, x, x);
}

// Draws a triangle whose box is narrower than kMaxScannedColumns. (Not inline: RasterizeTriangle
// would then grow too large for GCC to keep ShadeOnePixel, the map's path, in it.)
[[gnu::noinline]] void ScanTriangle(const RasterTarget& target, const PixelState& state,
                                    const SpanShaders& shaders, const SnappedTriangle& t,
                                    const TriangleBox& box, int originX, int originY) {
    const EdgeSet<int32_t> edges(t.v, originX, originY);
    ScannedCoverage coverage(edges, originX, originY, box.left, box.right, box.top);
    ShadeRows(target, state, shaders, t.v, t.area2, box, coverage);
}

template <typename Int>
void WalkTriangle(const RasterTarget& target, const PixelState& state, const SpanShaders& shaders,
                  const SnappedTriangle& t, const TriangleBox& box, int originX, int originY) {
    const EdgeSet<Int> edges(t.v, originX, originY);
    WalkedCoverage<Int> coverage(edges, originX, originY, box.left, box.right, box.top,
                                 box.bottom - box.top + 1);
    ShadeRows(target, state, shaders, t.v, t.area2, box, coverage);
}

}  // namespace

SpanShaders::SpanShaders(const RasterTarget& target, const PixelState& state)
    : point(ChooseRowShader(target, state, false)),
      bilinear(ChooseRowShader(target, state, true)),
      narrowPoint(ChooseScalarRowShader(target, state, false)),
      narrowBilinear(ChooseScalarRowShader(target, state, true)),
      pixelPoint(ChoosePixelShader(target, state, false)),
      pixelBilinear(ChoosePixelShader(target, state, true)),
      opaqueCommon(state.textured && IsCommonState(target, state) && !state.fog && !state.alphaTest &&
                   !state.blend),
      dropsTransparent(DropsTransparentTexels(state)),
      attributes(UsedAttributes(state)) {}

void RasterizeTriangle(const RasterTarget& target, const PixelState& state, const SpanShaders& shaders,
                       const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                       const TriangleBox& box) {
    SnappedTriangle t;
    if (!t.Set(a, b, c)) {
        return;
    }
    // The box's top-left pixel corner is the origin of the edge functions.
    const int originX = box.minX >> kSubPixelBits, originY = box.minY >> kSubPixelBits;
    if (box.maxX - box.minX > kMaxExtent32 || box.maxY - box.minY > kMaxExtent32) {
        WalkTriangle<int64_t>(target, state, shaders, t, box, originX, originY);
        return;
    }
#if defined(__SSE2__)
    if (box.right - box.left < kMaxTinyPixels && box.bottom - box.top < kMaxTinyPixels) {
        TinyCoverage coverage(t, box);
        if (coverage.Empty()) {
            return;
        }
        int x, y;
        if (coverage.OnePixel(x, y)) {
            ShadeOnePixel(target, state, shaders, t, x, y);
        } else {
            ShadeRows(target, state, shaders, t.v, t.area2, box, coverage);
        }
        return;
    }
#endif
    if (box.right - box.left < kMaxScannedColumns) {
        ScanTriangle(target, state, shaders, t, box, originX, originY);
    } else {
        WalkTriangle<int32_t>(target, state, shaders, t, box, originX, originY);
    }
}

void RasterizeTriangle(const RasterTarget& target, const PixelState& state, const SpanShaders& shaders,
                       const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
    TriangleBox box;
    if (FindTriangleBox(target, a, b, c, box)) {
        RasterizeTriangle(target, state, shaders, a, b, c, box);
    }
}

}  // namespace platform::device_detail
