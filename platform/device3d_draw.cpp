// DrawIndexedPrimitive: resolves the device state into the pixel state, runs the vertex stage,
// then culls, clips, projects and rasterises each triangle of the list.

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

#include "platform/device3d.h"
#include "platform/device3d_pipeline.h"
#include "platform/device3d_raster.h"

namespace platform {

namespace {

using device_detail::ClipVertex;
using device_detail::ColorSource;
using device_detail::PartPool;
using device_detail::PixelState;
using device_detail::RasterTarget;
using device_detail::ScreenVertex;

ColorSource ArgumentSource(uint32_t arg) {
    return (arg & 0xF) == kTaTexture ? ColorSource::kTexture : ColorSource::kDiffuse;
}

// What one combiner of stage 0 produces, from the texture and the interpolated diffuse colour only.
ColorSource CombinerSource(uint32_t op, uint32_t arg1, uint32_t arg2, bool hasTexture) {
    ColorSource source = ColorSource::kDiffuse;
    switch (op) {
        case kTopSelectArg1:
            source = ArgumentSource(arg1);
            break;
        case kTopSelectArg2:
            source = ArgumentSource(arg2);
            break;
        case kTopModulate:
            source =
                ArgumentSource(arg1) != ArgumentSource(arg2) ? ColorSource::kModulate : ArgumentSource(arg1);
            break;
        default:  // disabled: the diffuse colour passes through
            break;
    }
    // Without a texture the texture argument reads as opaque white.
    if (!hasTexture && source == ColorSource::kTexture) {
        return ColorSource::kWhite;
    }
    if (!hasTexture && source == ColorSource::kModulate) {
        return ColorSource::kDiffuse;
    }
    return source;
}

PixelState ResolvePixelState(Device3D& d) {
    const uint32_t* rs = d.renderStates;
    const uint32_t* ts = d.stageStates[0];
    PixelState s{};
    const bool hasTexture =
        d.textures[0] != nullptr && device_detail::PrepareSampler(*d.textures[0], s.sampler);
    s.colorSource = CombinerSource(ts[kTssColorOp], ts[kTssColorArg1], ts[kTssColorArg2], hasTexture);
    s.alphaSource = CombinerSource(ts[kTssAlphaOp], ts[kTssAlphaArg1], ts[kTssAlphaArg2], hasTexture);
    s.textured =
        hasTexture && (s.colorSource == ColorSource::kTexture || s.colorSource == ColorSource::kModulate ||
                       s.alphaSource == ColorSource::kTexture || s.alphaSource == ColorSource::kModulate);
    s.bilinearMag = ts[kTssMagFilter] == kFilterLinear;
    s.bilinearMin = ts[kTssMinFilter] == kFilterLinear;
    s.zTest = rs[kRsZEnable] != 0 && d.depth != nullptr;
    s.zWrite = s.zTest && rs[kRsZWriteEnable] != 0;
    s.zFunc = rs[kRsZFunc];
    s.alphaTest = rs[kRsAlphaTestEnable] != 0;
    s.alphaFunc = rs[kRsAlphaFunc];
    s.alphaRef = rs[kRsAlphaRef] & 0xFF;
    s.blend = rs[kRsAlphaBlendEnable] != 0;
    s.srcBlend = rs[kRsSrcBlend];
    s.destBlend = rs[kRsDestBlend];
    s.fog = rs[kRsFogEnable] != 0;
    s.fogColor[0] = static_cast<uint8_t>(rs[kRsFogColor] >> 16);
    s.fogColor[1] = static_cast<uint8_t>(rs[kRsFogColor] >> 8);
    s.fogColor[2] = static_cast<uint8_t>(rs[kRsFogColor]);
    s.specular = rs[kRsSpecularEnable] != 0 && rs[kRsLighting] != 0;
    s.dither = rs[kRsDitherEnable] != 0 && d.target->format.bitsPerPixel == 16;
    s.flat = rs[kRsShadeMode] == kShadeFlat;
    return s;
}

struct Projector {
    float x, y, halfWidth, halfHeight, minZ, depthRange;

    explicit Projector(const DeviceViewport& vp)
        : x(static_cast<float>(vp.x)),
          y(static_cast<float>(vp.y)),
          halfWidth(static_cast<float>(vp.width) * 0.5f),
          halfHeight(static_cast<float>(vp.height) * 0.5f),
          minZ(vp.minZ),
          depthRange(vp.maxZ - vp.minZ) {}

    ScreenVertex operator()(const ClipVertex& c) const {
        const float rhw = 1.0f / c.w;
        ScreenVertex v{x + (1.0f + c.x * rhw) * halfWidth,
                       y + (1.0f - c.y * rhw) * halfHeight,
                       minZ + c.z * rhw * depthRange,
                       rhw,
                       c.r * 255.0f,
                       c.g * 255.0f,
                       c.b * 255.0f,
                       c.a * 255.0f,
                       c.sr * 255.0f,
                       c.sg * 255.0f,
                       c.sb * 255.0f,
                       c.fog,
                       c.u,
                       c.v,
                       0,
                       0,
                       false};
        device_detail::SnapToGrid(v);
        return v;
    }
};

// Twice the signed area on screen; positive for triangles running clockwise as seen (y down).
float ScreenArea2(const ScreenVertex* v, int count) {
    float sum = 0.0f;
    for (int i = 0; i < count; ++i) {
        const ScreenVertex& a = v[i];
        const ScreenVertex& b = v[(i + 1) % count];
        sum += a.sx * b.sy - b.sx * a.sy;
    }
    return sum;
}

bool Culled(uint32_t cullMode, float area2) {
    return (cullMode == kCullCcw && area2 < 0.0f) || (cullMode == kCullCw && area2 > 0.0f);
}

void CopyColor(const ScreenVertex& from, ScreenVertex& to) {
    to.r = from.r;
    to.g = from.g;
    to.b = from.b;
    to.a = from.a;
    to.sr = from.sr;
    to.sg = from.sg;
    to.sb = from.sb;
}

struct DrawContext {
    const RasterTarget* target;
    const PixelState* state;
    const device_detail::SpanShaders* shaders;
    uint32_t cullMode;
    Projector project;
};

// Whether a triangle none of whose vertices needed clipping may be seen: it covers a pixel centre
// of the drawn rectangle (box, the cheapest test and the one that turns most distant triangles
// away) and faces the viewer.
bool MayBeSeen(const DrawContext& ctx, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
               device_detail::TriangleBox& box) {
    if (!device_detail::FindTriangleBox(*ctx.target, a, b, c, box)) {
        return false;
    }
    const float area2 = (b.sx - a.sx) * (c.sy - a.sy) - (c.sx - a.sx) * (b.sy - a.sy);
    return area2 != 0.0f && !Culled(ctx.cullMode, area2);
}

// Draws a triangle none of whose vertices needed clipping and that may be seen.
void DrawTriangle(const DrawContext& ctx, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                  const device_detail::TriangleBox& box) {
    if (ctx.state->flat) {
        ScreenVertex v[3] = {a, b, c};
        CopyColor(a, v[1]);
        CopyColor(a, v[2]);
        device_detail::RasterizeTriangle(*ctx.target, *ctx.state, *ctx.shaders, v[0], v[1], v[2], box);
        return;
    }
    device_detail::RasterizeTriangle(*ctx.target, *ctx.state, *ctx.shaders, a, b, c, box);
}

// Draws a polygon of up to kMaxClipVertices screen vertices as a fan; flatColor is the colour of
// the triangle's first vertex for flat shading.
void DrawPolygon(const DrawContext& ctx, ScreenVertex* v, int count, const ScreenVertex& flatColor) {
    if (count < 3 || Culled(ctx.cullMode, ScreenArea2(v, count))) {
        return;
    }
    if (ctx.state->flat) {
        for (int i = 0; i < count; ++i) {
            CopyColor(flatColor, v[i]);
        }
    }
    for (int i = 1; i + 1 < count; ++i) {
        device_detail::RasterizeTriangle(*ctx.target, *ctx.state, *ctx.shaders, v[0], v[i], v[i + 1]);
    }
}

void DrawClipped(const DrawContext& ctx, const ClipVertex& a, const ClipVertex& b, const ClipVertex& c,
                 uint32_t codes) {
    ClipVertex clipped[device_detail::kMaxClipVertices];
    const int count = device_detail::ClipPolygon(a, b, c, codes, clipped);
    ScreenVertex screen[device_detail::kMaxClipVertices];
    for (int i = 0; i < count; ++i) {
        screen[i] = ctx.project(clipped[i]);
    }
    DrawPolygon(ctx, screen, count, ctx.project(a));
}

// The first of count items that part of parts works on.
uint32_t PartBegin(uint32_t count, int part, int parts) {
    return static_cast<uint32_t>(uint64_t{count} * static_cast<uint32_t>(part) /
                                 static_cast<uint32_t>(parts));
}

// The vertex stage of one draw, shared out between threads by ranges of vertices (each vertex is
// worked out on its own, so the result does not depend on the sharing).
struct VertexWork {
    const device_detail::VertexStage* stage;
    const DeviceVertex* vertices;
    uint32_t count;
    const uint16_t* indices;
    uint32_t indexCount;
    ClipVertex* clip;
    ScreenVertex* screen;
    uint16_t* codes;
    uint8_t* used;
    const Projector* project;

    uint32_t Begin(int part, int parts) const { return PartBegin(count, part, parts); }
};

// Draws with fewer vertices than this are not worth sharing between threads.
constexpr uint32_t kMinSharedVertices = 256;

// (The loops below keep the arrays in locals: a store through a byte pointer may alias anything, so
// the compiler would otherwise read them from the work record again for every vertex.)
void TransformPart(void* context, int part, int parts) {
    const auto& w = *static_cast<const VertexWork*>(context);
    const uint32_t begin = w.Begin(part, parts), end = w.Begin(part + 1, parts);
    device_detail::TransformVertices(*w.stage, w.vertices + begin, end - begin, w.clip + begin,
                                     w.codes + begin);
    std::fill(w.used + begin, w.used + end, uint8_t{0});
}

// Marks the vertices of the triangles that may be seen, by ranges of triangles. Threads may mark
// the same vertex; each stores the same value.
void MarkPart(void* context, int part, int parts) {
    const auto& w = *static_cast<const VertexWork*>(context);
    const uint32_t triangles = w.indexCount / 3, count = w.count;
    const uint16_t* indices = w.indices;
    const uint16_t* codes = w.codes;
    uint8_t* used = w.used;
    for (uint32_t t = PartBegin(triangles, part, parts), end = PartBegin(triangles, part + 1, parts); t < end;
         ++t) {
        const uint16_t i0 = indices[3 * t], i1 = indices[3 * t + 1], i2 = indices[3 * t + 2];
        if (i0 < count && i1 < count && i2 < count && (codes[i0] & codes[i1] & codes[i2]) == 0) {
            std::atomic_ref<uint8_t>(used[i0]).store(1, std::memory_order_relaxed);
            std::atomic_ref<uint8_t>(used[i1]).store(1, std::memory_order_relaxed);
            std::atomic_ref<uint8_t>(used[i2]).store(1, std::memory_order_relaxed);
        }
    }
}

void ShadePart(void* context, int part, int parts) {
    const auto& w = *static_cast<const VertexWork*>(context);
    for (uint32_t i = w.Begin(part, parts), end = w.Begin(part + 1, parts); i < end; ++i) {
        if (w.used[i] == 0) {
            continue;
        }
        device_detail::ShadeVertex(*w.stage, w.vertices[i], w.clip[i]);
        if ((w.codes[i] & device_detail::kClipPlaneBits) == 0) {
            w.screen[i] = (*w.project)(w.clip[i]);
        }
    }
}

struct TriangleList {
    DrawContext ctx;
    const ClipVertex* clip;
    const ScreenVertex* screen;
    const uint16_t* codes;
    const uint16_t* indices;
    uint32_t vertexCount;
    uint32_t indexCount;
    // Shared draws only: the kept triangles and what each part of the first pass found, with its
    // estimate of the work on each row (as steps between rows: rowSteps entries per part).
    device_detail::LiveTriangle* live;
    device_detail::LiveRange* liveRanges;
    int findParts;
    int64_t* rowWork;
    int rowSteps;
    // The bands of rows the second pass draws, one per part: band b is rows bandTop[b] ..
    // bandTop[b + 1] - 1.
    int bandTop[kMaxDeviceThreads + 1];

    // The vertices of triangle t and the clip planes it crosses; false when it cannot be seen
    // (bad index, or wholly outside one side of the view).
    bool Triangle(uint32_t t, device_detail::LiveTriangle& out) const {
        const uint16_t i0 = indices[3 * t], i1 = indices[3 * t + 1], i2 = indices[3 * t + 2];
        if (i0 >= vertexCount || i1 >= vertexCount || i2 >= vertexCount ||
            (codes[i0] & codes[i1] & codes[i2]) != 0) {
            return false;
        }
        out.index[0] = i0;
        out.index[1] = i1;
        out.index[2] = i2;
        out.planes =
            static_cast<uint16_t>((codes[i0] | codes[i1] | codes[i2]) & device_detail::kClipPlaneBits);
        return true;
    }
    // Draws a triangle that may be seen.
    void Draw(const DrawContext& c, const device_detail::LiveTriangle& t) const {
        const uint16_t* i = t.index;
        device_detail::TriangleBox box;
        if (t.planes != 0) {
            DrawClipped(c, clip[i[0]], clip[i[1]], clip[i[2]], t.planes);
        } else if (device_detail::FindTriangleBox(*c.target, screen[i[0]], screen[i[1]], screen[i[2]], box)) {
            DrawTriangle(c, screen[i[0]], screen[i[1]], screen[i[2]], box);
        }
    }
    uint32_t Triangles() const { return indexCount / 3; }
    uint32_t Begin(int part, int parts) const { return PartBegin(Triangles(), part, parts); }
};

void DrawTriangles(const DrawContext& ctx, const TriangleList& list) {
    device_detail::LiveTriangle t;
    for (uint32_t k = 0; k < list.Triangles(); ++k) {
        if (!list.Triangle(k, t)) {
            continue;
        }
        const uint16_t* i = t.index;
        device_detail::TriangleBox box;
        if (t.planes != 0) {
            DrawClipped(ctx, list.clip[i[0]], list.clip[i[1]], list.clip[i[2]], t.planes);
        } else if (MayBeSeen(ctx, list.screen[i[0]], list.screen[i[1]], list.screen[i[2]], box)) {
            DrawTriangle(ctx, list.screen[i[0]], list.screen[i[1]], list.screen[i[2]], box);
        }
    }
}

// How much work a kept triangle is thought to be on each of its rows, in pixels: half its box's
// width, and its set-up spread over its rows as if it were kSetUpPixels pixels.
constexpr int64_t kSetUpPixels = 24;

void AddRowWork(int64_t* steps, int top, int firstRow, int lastRow, int64_t pixels) {
    const int64_t rows = lastRow - firstRow + 1;
    const int64_t perRow = (pixels / 2 + kSetUpPixels) / rows + 1;
    steps[firstRow - top] += perRow;
    steps[lastRow + 1 - top] -= perRow;
}

// A draw shared between threads runs in two passes. First the triangles are sorted out (by
// ranges of triangles, each thread its own): those that cannot draw anything (most of a distant
// mesh) are dropped, the others kept in order with the rows they may cover, and their work is
// added up by rows.
void FindLiveTrianglesPart(void* context, int part, int parts) {
    const auto& list = *static_cast<const TriangleList*>(context);
    const RasterTarget& target = *list.ctx.target;
    const uint32_t begin = list.Begin(part, parts), end = list.Begin(part + 1, parts);
    device_detail::LiveTriangle* out = list.live + begin;
    int64_t* rowWork = list.rowWork + static_cast<ptrdiff_t>(part) * list.rowSteps;
    std::fill_n(rowWork, list.rowSteps, 0);
    uint64_t pixels = 0;
    device_detail::LiveTriangle t;
    for (uint32_t k = begin; k < end; ++k) {
        if (!list.Triangle(k, t)) {
            continue;
        }
        uint64_t boxPixels = 0;
        if (t.planes != 0) {
            t.top = target.top;
            t.bottom = target.bottom - 1;
            boxPixels = static_cast<uint64_t>(target.right - target.left) *
                        static_cast<uint64_t>(target.bottom - target.top);
        } else {
            device_detail::TriangleBox box;
            if (!MayBeSeen(list.ctx, list.screen[t.index[0]], list.screen[t.index[1]],
                           list.screen[t.index[2]], box)) {
                continue;
            }
            t.top = box.top;
            t.bottom = box.bottom;
            boxPixels = static_cast<uint64_t>(box.right - box.left + 1) *
                        static_cast<uint64_t>(box.bottom - box.top + 1);
        }
        pixels += boxPixels;
        AddRowWork(rowWork, target.top, t.top, t.bottom, static_cast<int64_t>(boxPixels));
        *out++ = t;
    }
    list.liveRanges[part] = {static_cast<uint32_t>(out - (list.live + begin)), pixels};
}

// Cuts the target's rows into bands of about equal work, one for each part of the second pass.
void ChooseBands(TriangleList& list, int bands) {
    const RasterTarget& target = *list.ctx.target;
    list.bandTop[0] = target.top;
    list.bandTop[bands] = target.bottom;
    if (bands == 1) {
        return;
    }
    // The work on each row, summed over the parts into part 0's entries.
    int64_t total = 0, onRow = 0;
    for (int row = 0; row < list.rowSteps - 1; ++row) {
        for (int part = 0; part < list.findParts; ++part) {
            onRow += list.rowWork[static_cast<ptrdiff_t>(part) * list.rowSteps + row];
        }
        list.rowWork[row] = onRow;
        total += onRow;
    }
    int64_t running = 0;
    int row = 0;
    for (int band = 1; band < bands; ++band) {
        const int64_t goal = total * band / bands;
        for (; row < list.rowSteps - 1 && running < goal; ++row) {
            running += list.rowWork[row];
        }
        list.bandTop[band] = target.top + row;
    }
}

// Then the kept triangles are drawn in their order, each thread its own band of rows.
void DrawLiveTrianglesPart(void* context, int part, int) {
    const auto& list = *static_cast<const TriangleList*>(context);
    RasterTarget target = *list.ctx.target;
    target.top = list.bandTop[part];
    target.bottom = list.bandTop[part + 1];
    if (target.top >= target.bottom) {
        return;
    }
    DrawContext ctx = list.ctx;
    ctx.target = &target;
    for (int from = 0; from < list.findParts; ++from) {
        const device_detail::LiveTriangle* t = list.live + list.Begin(from, list.findParts);
        for (const device_detail::LiveTriangle* end = t + list.liveRanges[from].count; t != end; ++t) {
            if (t->bottom >= target.top && t->top < target.bottom) {
                list.Draw(ctx, *t);
            }
        }
    }
}

// Draws with fewer triangles than this are sorted out on the calling thread; the threads only
// share drawing them when their boxes hold at least this many pixels. Below either, handing the
// work over costs about as much as it saves.
constexpr uint32_t kMinSharedTriangles = 512;
constexpr uint64_t kMinSharedPixels = 4096;
// Smaller texture copies a draw may read: enough for any texture of up to 65536 texels a side.
constexpr int kMaxMipLevels = 16;

void DrawShared(PartPool& pool, device_detail::DrawScratch& scratch, TriangleList& list) {
    scratch.live.resize(std::max<size_t>(scratch.live.size(), list.Triangles()));
    scratch.liveRanges.resize(static_cast<size_t>(pool.Parts()));
    const RasterTarget& target = *list.ctx.target;
    list.rowSteps = std::max(target.bottom - target.top, 0) + 1;
    scratch.rowWork.resize(std::max(scratch.rowWork.size(),
                                    static_cast<size_t>(list.rowSteps) * static_cast<size_t>(pool.Parts())));
    list.live = scratch.live.data();
    list.liveRanges = scratch.liveRanges.data();
    list.rowWork = scratch.rowWork.data();
    list.findParts = list.Triangles() >= kMinSharedTriangles ? pool.Parts() : 1;
    if (list.findParts > 1) {
        pool.Run(FindLiveTrianglesPart, &list);
    } else {
        FindLiveTrianglesPart(&list, 0, 1);
    }
    uint64_t pixels = 0;
    for (int part = 0; part < list.findParts; ++part) {
        pixels += list.liveRanges[part].pixels;
    }
    if (pixels >= kMinSharedPixels) {
        ChooseBands(list, pool.Parts());
        pool.Run(DrawLiveTrianglesPart, &list);
    } else {
        ChooseBands(list, 1);
        DrawLiveTrianglesPart(&list, 0, 1);
    }
}

bool LockTargets(Device3D& d, RasterTarget& rt, LockedPixels& color, LockedPixels& depth) {
    if (LockSurface(*d.target, color) != kSurfaceOk) {
        return false;
    }
    rt.color = color.bits;
    rt.colorPitch = color.pitch;
    rt.format = color.format;
    if (d.depth != nullptr && LockSurface(*d.depth, depth) == kSurfaceOk) {
        rt.depth = depth.bits;
        rt.depthPitch = depth.pitch;
    }
    const DeviceViewport& vp = d.viewport;
    rt.left = std::max(vp.x, 0);
    rt.top = std::max(vp.y, 0);
    rt.right = std::min(vp.x + vp.width, color.width);
    rt.bottom = std::min(vp.y + vp.height, color.height);
    return true;
}

void UnlockTargets(Device3D& d, const RasterTarget& rt) {
    UnlockSurface(*d.target);
    if (rt.depth != nullptr) {
        UnlockSurface(*d.depth);
    }
}

}  // namespace

int DrawIndexedPrimitive(Device3D& device, uint32_t primitiveType, uint32_t vertexFormat,
                         const DeviceVertex* vertices, uint32_t vertexCount, const uint16_t* indices,
                         uint32_t indexCount) {
    if (!device.inScene || primitiveType != kPrimitiveTriangleList ||
        vertexFormat != kVertexFormatPositionNormalTex1) {
        return kDeviceInvalidCall;
    }
    if (device.target == nullptr) {
        return kDeviceNoTarget;
    }
    if (vertices == nullptr || indices == nullptr || vertexCount == 0 || indexCount < 3) {
        return kDeviceOk;
    }
    const PixelState state = ResolvePixelState(device);
    device_detail::VertexStage stage;
    device_detail::PrepareVertexStage(device, stage);
    device_detail::DrawScratch& scratch = *device.scratch;
    if (scratch.clip.size() < vertexCount) {
        scratch.clip.resize(vertexCount);
        scratch.screen.resize(vertexCount);
        scratch.codes.resize(vertexCount);
        scratch.used.resize(vertexCount);
    }
    ClipVertex* clip = scratch.clip.data();
    ScreenVertex* screen = scratch.screen.data();
    uint16_t* codes = scratch.codes.data();
    uint8_t* used = scratch.used.data();
    // Positions first; only the vertices of triangles that may be seen are lit, fogged and projected.
    const Projector project(device.viewport);
    VertexWork work{&stage, vertices, vertexCount, indices, indexCount, clip, screen, codes, used, &project};
    PartPool* pool = scratch.pool.get();
    const bool shareVertices = pool != nullptr && vertexCount >= kMinSharedVertices;
    if (shareVertices) {
        pool->Run(TransformPart, &work);
    } else {
        TransformPart(&work, 0, 1);
    }
    if (shareVertices) {
        pool->Run(MarkPart, &work);
        pool->Run(ShadePart, &work);
    } else {
        MarkPart(&work, 0, 1);
        ShadePart(&work, 0, 1);
    }

    RasterTarget target;
    LockedPixels colorLock, depthLock;
    if (!LockTargets(device, target, colorLock, depthLock)) {
        return kDeviceNoTarget;
    }
    device_detail::SpanShaders shaders(target, state);
    device_detail::PixelState mipStates[kMaxMipLevels];
    if (state.textured && device.textures[0] != nullptr) {
        device_detail::Sampler samplers[kMaxMipLevels];
        shaders.mipCount = device_detail::MipSamplers(*device.textures[0], samplers, kMaxMipLevels);
        for (int i = 0; i < shaders.mipCount; ++i) {
            mipStates[i] = state;
            mipStates[i].sampler = samplers[i];
        }
        shaders.mipStates = mipStates;
    }
    TriangleList list{{&target, &state, &shaders, device.renderStates[kRsCullMode], project},
                      clip,
                      screen,
                      codes,
                      indices,
                      vertexCount,
                      indexCount,
                      nullptr,
                      nullptr,
                      1,
                      nullptr,
                      0,
                      {}};
    if (pool != nullptr) {
        DrawShared(*pool, scratch, list);
    } else {
        DrawTriangles(list.ctx, list);
    }
    UnlockTargets(device, target);
    if (device.observer != nullptr) {
        device.observer->Drew(device, vertices, vertexCount, indices, indexCount);
    }
    return kDeviceOk;
}

}  // namespace platform
