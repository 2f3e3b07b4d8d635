// DrawIndexedPrimitive: resolves the device state into the pixel state (state.cpp), runs the vertex
// stage, then culls, clips, projects and rasterises each triangle of the list in the passes of
// DrawWork; with threads, the rasterising waits in the device's queue of the scene's draws
// (queue.h).

#include <algorithm>
#include <atomic>
#include <climits>
#include <optional>
#include <vector>

#include "platform/device3d.h"
#include "platform/device3d/draw.h"
#include "platform/device3d/queue.h"

namespace platform::device_detail {

namespace {

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

// Asks for the cache lines of a vertex to be fetched before it is read. An asm statement because
// GCC 12 leaves out the __builtin_prefetch calls of the drawing loop.
void PrefetchVertex(const ScreenVertex& v) {
#if defined(__SSE2__)
    const auto* first = reinterpret_cast<const char*>(&v);
    asm volatile("prefetcht0 %0" : : "m"(*first));
    asm volatile("prefetcht0 %0" : : "m"(first[sizeof(ScreenVertex) - 1]));
#else
    static_cast<void>(v);
#endif
}

// Whether a triangle of usable vertices none of which needed clipping may be seen: it covers a
// pixel centre of the drawn rectangle (box, the cheapest test and the one that turns most distant
// triangles away; from the snapped points alone) and faces the viewer. Always inline: it runs for
// every triangle of a mesh, and GCC would otherwise call it.
[[gnu::always_inline]] inline bool MayBeSeen(const DrawContext& ctx, const SnappedPoint* snapped,
                                             const ScreenVertex* screen, const uint16_t* index,
                                             TriangleBox& box) {
    if (!FindTriangleBox(*ctx.target, snapped[index[0]], snapped[index[1]], snapped[index[2]], box)) {
        return false;
    }
    const ScreenVertex &a = screen[index[0]], &b = screen[index[1]], &c = screen[index[2]];
    const float area2 = (b.sx - a.sx) * (c.sy - a.sy) - (c.sx - a.sx) * (b.sy - a.sy);
    return area2 != 0.0f && !Culled(ctx.cullMode, area2);
}

// Draws a triangle none of whose vertices needed clipping and that may be seen.
void DrawTriangle(const DrawContext& ctx, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                  const TriangleBox& box) {
    if (ctx.state->flat) {
        ScreenVertex v[3] = {a, b, c};
        CopyColor(a, v[1]);
        CopyColor(a, v[2]);
        RasterizeTriangle(*ctx.target, *ctx.state, *ctx.shaders, v[0], v[1], v[2], box);
        return;
    }
    RasterizeTriangle(*ctx.target, *ctx.state, *ctx.shaders, a, b, c, box);
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
        RasterizeTriangle(*ctx.target, *ctx.state, *ctx.shaders, v[0], v[i], v[i + 1]);
    }
}

void DrawClipped(const DrawContext& ctx, const ClipVertex& a, const ClipVertex& b, const ClipVertex& c,
                 uint32_t codes) {
    ClipVertex clipped[kMaxClipVertices];
    const int count = ClipPolygon(a, b, c, codes, clipped);
    ScreenVertex screen[kMaxClipVertices];
    for (int i = 0; i < count; ++i) {
        screen[i] = ctx.project(clipped[i]);
    }
    DrawPolygon(ctx, screen, count, ctx.project(a));
}

}  // namespace

inline bool DrawWork::Triangle(uint32_t t, LiveTriangle& out) const {
    const uint16_t i0 = indices[3 * t], i1 = indices[3 * t + 1], i2 = indices[3 * t + 2];
    if (i0 >= vertexCount || i1 >= vertexCount || i2 >= vertexCount ||
        (codes[i0] & codes[i1] & codes[i2]) != 0) {
        return false;
    }
    const uint32_t any = codes[i0] | codes[i1] | codes[i2];
    out.index[0] = i0;
    out.index[1] = i1;
    out.index[2] = i2;
    out.planes = static_cast<uint16_t>(any & kClipPlaneBits);
    return out.planes != 0 || (any & kUnusableBit) == 0;
}

inline void DrawWork::ShadeOnce(uint16_t i) const {
    if (used[i] != 0) {
        return;
    }
    used[i] = 1;
    Shade(i);
}

inline void DrawWork::MarkUsed(uint16_t i) const {
    std::atomic_ref<uint8_t> flag(used[i]);
    if (flag.load(std::memory_order_relaxed) == 0) {
        flag.store(1, std::memory_order_relaxed);
    }
}

inline void DrawWork::Shade(uint32_t i) const {
    ShadeVertex(*stage, vertices[i], clip[i]);
    if ((codes[i] & kClipPlaneBits) == 0) {
        Projector::Shading(clip[i], screen[i]);
    }
}

inline void DrawWork::Prefetch(const LiveTriangle& t) const {
    for (const uint16_t i : t.index) {
        PrefetchVertex(screen[i]);
    }
}

inline void DrawWork::Draw(const DrawContext& c, const LiveTriangle& t, const TriangleBox& box) const {
    const uint16_t* i = t.index;
    if (t.planes != 0) {
        DrawClipped(c, clip[i[0]], clip[i[1]], clip[i[2]], t.planes);
    } else {
        DrawTriangle(c, screen[i[0]], screen[i[1]], screen[i[2]], box);
    }
}

template <bool kShared, typename Keep>
inline void DrawWork::ForEachLiveTriangle(uint32_t begin, uint32_t end, Keep&& keep) const {
    const RasterTarget& target = *ctx.target;
    LiveTriangle t{};
    for (uint32_t k = begin; k < end; ++k) {
        if (!Triangle(k, t)) {
            continue;
        }
        uint64_t boxPixels = 0;
        if (t.planes != 0) {
            t.box.top = target.top;
            t.box.bottom = target.bottom - 1;
            boxPixels = static_cast<uint64_t>(target.right - target.left) *
                        static_cast<uint64_t>(target.bottom - target.top);
        } else {
            if (!MayBeSeen(ctx, snapped, screen, t.index, t.box)) {
                continue;
            }
            boxPixels = static_cast<uint64_t>(t.box.right - t.box.left + 1) *
                        static_cast<uint64_t>(t.box.bottom - t.box.top + 1);
        }
        for (const uint16_t i : t.index) {
            if constexpr (kShared) {
                MarkUsed(i);
            } else {
                ShadeOnce(i);
            }
        }
        keep(t, boxPixels);
    }
}

namespace {

constexpr uint32_t kVertexChunk = 256;
constexpr uint32_t kTriangleChunk = 256;
// Draws with fewer vertices than this are not worth sharing between threads.
constexpr uint32_t kMinSharedVertices = 256;

void TransformPart(void* context, int, int) {
    auto& w = *static_cast<DrawWork*>(context);
    const bool fromFront = !PartPool::OnHelper();
    for (uint32_t chunk; w.vertexChunks.Claim(fromFront, chunk);) {
        const uint32_t begin = w.vertexChunks.Begin(chunk), end = w.vertexChunks.End(chunk);
        TransformVertices(*w.stage, w.ctx.project, w.vertices + begin, end - begin, w.clip + begin,
                          w.codes + begin, w.screen + begin, w.snapped + begin);
        std::fill(w.used + begin, w.used + end, uint8_t{0});
    }
}

void ShadeUsedPart(void* context, int, int) {
    auto& w = *static_cast<DrawWork*>(context);
    const bool fromFront = !PartPool::OnHelper();
    for (uint32_t chunk; w.vertexChunks.Claim(fromFront, chunk);) {
        const uint32_t end = w.vertexChunks.End(chunk);
        for (uint32_t i = w.vertexChunks.Begin(chunk); i < end; ++i) {
            if (w.used[i] != 0) {
                w.Shade(i);
            }
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

void FindLiveTrianglesPart(void* context, int part, int) {
    auto& w = *static_cast<DrawWork*>(context);
    const int top = w.ctx.target->top;
    int64_t* rowWork = w.rowWork + static_cast<ptrdiff_t>(part) * w.rowSteps;
    std::fill_n(rowWork, w.rowSteps, 0);
    uint64_t pixels = 0;
    const bool fromFront = !PartPool::OnHelper();
    for (uint32_t chunk; w.triangleChunks.Claim(fromFront, chunk);) {
        const uint32_t begin = w.triangleChunks.Begin(chunk);
        LiveTriangle* out = w.live + begin;
        LiveChunk kept{0, INT_MAX, INT_MIN};
        w.ForEachLiveTriangle<true>(
            begin, w.triangleChunks.End(chunk), [&](const LiveTriangle& t, uint64_t boxPixels) {
                pixels += boxPixels;
                AddRowWork(rowWork, top, t.box.top, t.box.bottom, static_cast<int64_t>(boxPixels));
                kept.top = std::min(kept.top, t.box.top);
                kept.bottom = std::max(kept.bottom, t.box.bottom);
                *out++ = t;
            });
        kept.count = static_cast<uint32_t>(out - (w.live + begin));
        w.liveChunks[chunk] = kept;
    }
    w.pixels[part] = pixels;
}

// Draws with fewer triangles than this are sorted out on the calling thread: below it, handing the
// work over costs about as much as it saves.
constexpr uint32_t kMinSharedTriangles = 512;

// A large draw's vertices have mostly left the cache by the time its triangles are drawn (the
// passes went over all of them since, some on the other core), so the vertices of the kept
// triangle this many places ahead are fetched while one is drawn.
constexpr ptrdiff_t kPrefetchAhead = 2;

}  // namespace

void DrawBand(const DrawWork& w, int top, int bottom) {
    RasterTarget target = *w.ctx.target;
    target.top = top;
    target.bottom = bottom;
    DrawContext ctx = w.ctx;
    ctx.target = &target;
    for (uint32_t chunk = 0; chunk < w.triangleChunks.Count(); ++chunk) {
        const LiveChunk& kept = w.liveChunks[chunk];
        if (kept.count == 0 || kept.bottom < top || kept.top >= bottom) {
            continue;
        }
        const LiveTriangle* t = w.live + w.triangleChunks.Begin(chunk);
        for (const LiveTriangle* end = t + kept.count; t != end; ++t) {
            if (end - t > kPrefetchAhead) {
                const LiveTriangle& ahead = t[kPrefetchAhead];
                if (ahead.box.bottom >= top && ahead.box.top < bottom && ahead.planes == 0) {
                    w.Prefetch(ahead);
                }
            }
            if (t->box.bottom >= top && t->box.top < bottom) {
                TriangleBox box = t->box;
                box.top = std::max(box.top, top);
                box.bottom = std::min(box.bottom, bottom - 1);
                w.Draw(ctx, *t, box);
            }
        }
    }
}

// Sets the shaders of a draw up for the state in the target, with the states of the texture's
// smaller copies (kept in mipStates).
void ChooseShaders(const Device3D& device, const RasterTarget& target, const PixelState& state,
                   std::optional<SpanShaders>& shaders, PixelState* mipStates) {
    shaders.emplace(target, state);
    if (state.textured && device.textures[0] != nullptr) {
        Sampler samplers[kMaxMipLevels];
        shaders->mipCount = MipSamplers(*device.textures[0], samplers, kMaxMipLevels);
        for (int i = 0; i < shaders->mipCount; ++i) {
            mipStates[i] = state;
            mipStates[i].sampler = samplers[i];
        }
        shaders->mipStates = mipStates;
    }
}

namespace {

// Draws on the calling thread: each triangle is drawn as soon as it is found to be live.
void DrawAlone(DrawWork& w) {
    w.vertexChunks.Reset(w.vertexCount, kVertexChunk);
    TransformPart(&w, 0, 1);
    w.ForEachLiveTriangle<false>(0, w.Triangles(),
                                 [&w](const LiveTriangle& t, uint64_t) { w.Draw(w.ctx, t, t.box); });
}

// The front end of a draw with the pool's threads (vertices, triangles, shading the used
// vertices, each pass shared when it is large enough); the kept triangles are left in d.
void PrepareShared(PartPool& pool, DrawScratch& scratch, PreparedDraw& d) {
    DrawWork& w = *d.work;
    const int parts = pool.Parts();
    w.vertexChunks.Reset(w.vertexCount, kVertexChunk);
    RunPass(w.vertexCount >= kMinSharedVertices ? &pool : nullptr, TransformPart, &w);

    w.triangleChunks.Reset(w.Triangles(), kTriangleChunk);
    d.live.resize(std::max<size_t>(d.live.size(), w.Triangles()));
    d.liveChunks.resize(std::max<size_t>(d.liveChunks.size(), w.triangleChunks.Count()));
    scratch.pixels.resize(static_cast<size_t>(parts));
    const RasterTarget& target = *w.ctx.target;
    w.rowSteps = std::max(target.bottom - target.top, 0) + 1;
    scratch.rowWork.resize(
        std::max(scratch.rowWork.size(), static_cast<size_t>(w.rowSteps) * static_cast<size_t>(parts)));
    w.live = d.live.data();
    w.liveChunks = d.liveChunks.data();
    w.pixels = scratch.pixels.data();
    w.rowWork = scratch.rowWork.data();
    w.findParts = w.Triangles() >= kMinSharedTriangles ? parts : 1;
    RunPass(w.findParts > 1 ? &pool : nullptr, FindLiveTrianglesPart, &w);
    w.vertexChunks.Reset(w.vertexCount, kVertexChunk);
    RunPass(w.vertexCount >= kMinSharedVertices ? &pool : nullptr, ShadeUsedPart, &w);
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

// Draws the triangle list, with the device's vertex stage (prepared) and the pixel state, into the
// target: at once without a pool, else into the device's queue. False when the target cannot be
// drawn into.
bool DrawInTarget(Device3D& device, const PixelState& state, const DeviceVertex* vertices,
                  uint32_t vertexCount, const uint16_t* indices, uint32_t indexCount) {
    DrawScratch& scratch = *device.scratch;
    if (scratch.pool != nullptr && scratch.queue == nullptr) {
        scratch.queue.reset(new DrawQueue);
    }
    DrawQueue* queue = scratch.pool != nullptr ? scratch.queue.get() : nullptr;
    RasterTarget target;
    LockedPixels colorLock, depthLock;
    if (queue != nullptr) {
        queue->HoldOff(true);
    }
    const bool locked = LockTargets(device, target, colorLock, depthLock);
    if (locked) {
        UnlockTargets(device, target);
    }
    if (queue != nullptr) {
        queue->HoldOff(false);
    }
    // A viewport wholly off the surface leaves no pixel to draw (nor rows to share out).
    if (!locked || target.left >= target.right || target.top >= target.bottom) {
        return locked;
    }
    if (queue == nullptr) {
        PreparedDraw d;
        DrawAlone(d.Set(device, target, state, scratch, false, vertices, vertexCount, indices, indexCount));
        return true;
    }
    PreparedDraw& d = queue->Next();
    d.Set(device, target, state, scratch, true, vertices, vertexCount, indices, indexCount);
    PrepareShared(*scratch.pool, scratch, d);
    queue->Add(*scratch.pool, *device.target, target.depth != nullptr ? device.depth : nullptr,
               state.textured && device.textures[0] != nullptr ? device.textures[0]->surface : nullptr);
    d.work->ForgetPreparingArrays();
    return true;
}

}  // namespace

}  // namespace platform::device_detail

namespace platform {

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
    const device_detail::PixelState state = device_detail::ResolvePixelState(device);
    device_detail::PrepareVertexStage(device, device.scratch->stage);
    if (!device_detail::DrawInTarget(device, state, vertices, vertexCount, indices, indexCount)) {
        return kDeviceNoTarget;
    }
    if (device.observer != nullptr) {
        device.observer->Drew(device, vertices, vertexCount, indices, indexCount);
    }
    return kDeviceOk;
}

}  // namespace platform
