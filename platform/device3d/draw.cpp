// DrawIndexedPrimitive: resolves the device state into the pixel state, runs the vertex stage,
// then culls, clips, projects and rasterises each triangle of the list; with threads, the
// rasterising waits in the device's queue of the scene's draws (DrawQueue).

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <iterator>
#include <memory>
#include <numeric>
#include <optional>
#include <vector>

#include "platform/device3d.h"
#include "platform/device3d/pipeline.h"
#include "platform/device3d/project.h"
#include "platform/device3d/raster.h"

namespace platform {

namespace {

using device_detail::ChunkClaims;
using device_detail::ClipVertex;
using device_detail::ColorSource;
using device_detail::PartPool;
using device_detail::PixelState;
using device_detail::Projector;
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

struct DrawContext {
    const RasterTarget* target;
    const PixelState* state;
    const device_detail::SpanShaders* shaders;
    uint32_t cullMode;
    Projector project;
};

// Whether a triangle of usable vertices none of which needed clipping may be seen: it covers a
// pixel centre of the drawn rectangle (box, the cheapest test and the one that turns most distant
// triangles away; from the snapped points alone) and faces the viewer. Always inline: it runs for
// every triangle of a mesh, and GCC would otherwise call it.
[[gnu::always_inline]] inline bool MayBeSeen(const DrawContext& ctx,
                                             const device_detail::SnappedPoint* snapped,
                                             const ScreenVertex* screen, const uint16_t* index,
                                             device_detail::TriangleBox& box) {
    if (!device_detail::FindTriangleBox(*ctx.target, snapped[index[0]], snapped[index[1]], snapped[index[2]],
                                        box)) {
        return false;
    }
    const ScreenVertex &a = screen[index[0]], &b = screen[index[1]], &c = screen[index[2]];
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

constexpr uint32_t kVertexChunk = 256;
constexpr uint32_t kTriangleChunk = 256;
// The drawing pass is cut into bands of rows that the calling thread claims from the top and the
// helpers from the bottom (so that each thread keeps drawing much the same rows from one draw to
// the next, which stay in its core's cache, instead of taking over rows another core has just
// written). Each thread's bands shrink towards the middle, where the ends meet: the work estimate
// is rough (half the boxes' pixels), and the thread whose bands took longer than thought, or that
// lost its core, leaves the bands in the middle to the others; the last band claimed is small, so
// the other threads seldom wait long for it. Sizes in 1/kBandUnits of a thread's share of the work.
constexpr int kBandUnits = 16;
constexpr int kBandSizes[] = {8, 4, 2, 1, 1};
constexpr int kBandsPerThread = static_cast<int>(std::size(kBandSizes));
static_assert(std::accumulate(std::begin(kBandSizes), std::end(kBandSizes), 0) == kBandUnits);
constexpr int kMaxBands = kBandsPerThread * kMaxDeviceThreads;

// One draw on its way through four passes, each of which may be shared between threads (drawing
// alone, passes 2 and 3 are one: a vertex is shaded when its first kept triangle is met):
//  1. vertices (by chunks): positions in clip space, clip codes, and positions on screen of the
//     vertices that cross no clip plane;
//  2. triangles (by chunks): those that cannot draw anything (most of a distant mesh) are dropped,
//     the others kept in order with their boxes, and their vertices marked as used;
//  3. vertices (by chunks): the used ones are lit, fogged and finished (so only vertices that are
//     drawn are shaded, each once);
//  4. drawing the kept triangles in their order, band of rows by band of rows (the threads claim
//     the bands).
// Marking in pass 2 and shading in a pass of its own, rather than shading a vertex when the first
// thread to keep one of its triangles claims it, spares a locked exchange per vertex: each one
// waits for all the stores before it, and a shaded vertex is many stores.
struct DrawWork {
    explicit DrawWork(const DrawContext& context) : ctx(context) {}

    const device_detail::VertexStage* stage = nullptr;
    const DeviceVertex* vertices = nullptr;
    uint32_t vertexCount = 0;
    const uint16_t* indices = nullptr;
    uint32_t indexCount = 0;
    ClipVertex* clip = nullptr;
    ScreenVertex* screen = nullptr;
    uint16_t* codes = nullptr;
    device_detail::SnappedPoint* snapped = nullptr;
    uint8_t* used = nullptr;
    DrawContext ctx;
    ChunkClaims vertexChunks;
    ChunkClaims triangleChunks;
    // The kept triangles, each chunk's from the chunk's first triangle on, and what each chunk kept.
    device_detail::LiveTriangle* live = nullptr;
    device_detail::LiveChunk* liveChunks = nullptr;
    // For each part of pass 2: the pixels of its kept triangles' boxes and its estimate of the work
    // on each row, as steps between rows (rowSteps entries per part).
    uint64_t* pixels = nullptr;
    int64_t* rowWork = nullptr;
    int rowSteps = 0;
    int findParts = 1;

    uint32_t Triangles() const { return indexCount / 3; }

    // Once a queued draw is prepared: forgets the arrays that only the preparing passes read (the
    // caller's vertices and indices, the scratch's arrays that the next draw reuses), so that the
    // drawing pass cannot read them by mistake.
    void ForgetPreparingArrays() {
        stage = nullptr;
        vertices = nullptr;
        indices = nullptr;
        codes = nullptr;
        snapped = nullptr;
        used = nullptr;
        pixels = nullptr;
        rowWork = nullptr;
    }

    // The vertices of triangle t and the clip planes it crosses; false when it cannot be seen
    // (bad index, wholly outside one side of the view, or crossing no clip plane with a vertex
    // too far out to rasterise).
    bool Triangle(uint32_t t, device_detail::LiveTriangle& out) const {
        const uint16_t i0 = indices[3 * t], i1 = indices[3 * t + 1], i2 = indices[3 * t + 2];
        if (i0 >= vertexCount || i1 >= vertexCount || i2 >= vertexCount ||
            (codes[i0] & codes[i1] & codes[i2]) != 0) {
            return false;
        }
        const uint32_t any = codes[i0] | codes[i1] | codes[i2];
        out.index[0] = i0;
        out.index[1] = i1;
        out.index[2] = i2;
        out.planes = static_cast<uint16_t>(any & device_detail::kClipPlaneBits);
        return out.planes != 0 || (any & device_detail::kUnusableBit) == 0;
    }

    // Drawing alone: shades vertex i unless it is shaded already.
    void ShadeOnce(uint16_t i) const {
        if (used[i] != 0) {
            return;
        }
        used[i] = 1;
        Shade(i);
    }

    // Shared between threads: marks vertex i as used (threads may mark the same vertex at once).
    void MarkUsed(uint16_t i) const {
        std::atomic_ref<uint8_t> flag(used[i]);
        if (flag.load(std::memory_order_relaxed) == 0) {
            flag.store(1, std::memory_order_relaxed);
        }
    }

    // Lights, fogs and finishes vertex i.
    void Shade(uint32_t i) const {
        device_detail::ShadeVertex(*stage, vertices[i], clip[i]);
        if ((codes[i] & device_detail::kClipPlaneBits) == 0) {
            Projector::Shading(clip[i], screen[i]);
        }
    }

    // Asks for the projected vertices of a kept triangle to be fetched.
    void Prefetch(const device_detail::LiveTriangle& t) const {
        for (const uint16_t i : t.index) {
            PrefetchVertex(screen[i]);
        }
    }

    // Draws a kept triangle; box is its box in c's target unless it crosses a clip plane.
    void Draw(const DrawContext& c, const device_detail::LiveTriangle& t,
              const device_detail::TriangleBox& box) const {
        const uint16_t* i = t.index;
        if (t.planes != 0) {
            DrawClipped(c, clip[i[0]], clip[i[1]], clip[i[2]], t.planes);
        } else {
            DrawTriangle(c, screen[i[0]], screen[i[1]], screen[i[2]], box);
        }
    }

    // Calls keep(t, boxPixels) for each of triangles begin .. end - 1 that may draw something,
    // once its vertices are shaded (kShared: marked as used; other threads work on other
    // triangles of the draw at the same time); the box is only found for triangles that cross no
    // clip plane (the others may cover the whole target).
    template <bool kShared, typename Keep>
    void ForEachLiveTriangle(uint32_t begin, uint32_t end, Keep&& keep) const {
        const RasterTarget& target = *ctx.target;
        device_detail::LiveTriangle t{};
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
};

// Draws with fewer vertices than this are not worth sharing between threads.
constexpr uint32_t kMinSharedVertices = 256;

void TransformPart(void* context, int, int) {
    auto& w = *static_cast<DrawWork*>(context);
    const bool fromFront = !PartPool::OnHelper();
    for (uint32_t chunk; w.vertexChunks.Claim(fromFront, chunk);) {
        const uint32_t begin = w.vertexChunks.Begin(chunk), end = w.vertexChunks.End(chunk);
        device_detail::TransformVertices(*w.stage, w.ctx.project, w.vertices + begin, end - begin,
                                         w.clip + begin, w.codes + begin, w.screen + begin,
                                         w.snapped + begin);
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
        device_detail::LiveTriangle* out = w.live + begin;
        device_detail::LiveChunk kept{0, INT_MAX, INT_MIN};
        w.ForEachLiveTriangle<true>(begin, w.triangleChunks.End(chunk),
                                    [&](const device_detail::LiveTriangle& t, uint64_t boxPixels) {
                                        pixels += boxPixels;
                                        AddRowWork(rowWork, top, t.box.top, t.box.bottom,
                                                   static_cast<int64_t>(boxPixels));
                                        kept.top = std::min(kept.top, t.box.top);
                                        kept.bottom = std::max(kept.bottom, t.box.bottom);
                                        *out++ = t;
                                    });
        kept.count = static_cast<uint32_t>(out - (w.live + begin));
        w.liveChunks[chunk] = kept;
    }
    w.pixels[part] = pixels;
}

// The size of band b of the drawing pass (in 1/kBandUnits of a thread's share) for the given
// number of threads: the calling thread's bands from the top, then the helpers' from the bottom,
// their first bands lowest.
int BandSize(int band, int threads) {
    if (band < kBandsPerThread) {
        return kBandSizes[band];
    }
    const int fromBottom = kBandsPerThread * threads - 1 - band;
    return kBandSizes[fromBottom / (threads - 1)];
}

// Cuts rows top .. bottom - 1, whose estimated work is rowWork[0 ..], into the bands of the
// drawing pass for the given number of threads.
void CutBands(const int64_t* rowWork, int top, int bottom, int threads, device_detail::EndClaims& claims,
              int* bandTop) {
    const int bands = threads == 1 ? 1 : kBandsPerThread * threads;
    claims.Reset(static_cast<uint32_t>(bands));
    bandTop[0] = top;
    bandTop[bands] = bottom;
    if (bands == 1) {
        return;
    }
    const int rows = bottom - top;
    const int64_t total = std::accumulate(rowWork, rowWork + rows, int64_t{0});
    const int64_t units = int64_t{kBandUnits} * threads;
    int64_t running = 0, upTo = 0;
    int row = 0;
    for (int band = 1; band < bands; ++band) {
        upTo += BandSize(band - 1, threads);
        const int64_t goal = total * upTo / units;
        for (; row < rows && running < goal; ++row) {
            running += rowWork[row];
        }
        bandTop[band] = top + row;
    }
}

// A large draw's vertices have mostly left the cache by the time its triangles are drawn (the
// passes went over all of them since, some on the other core), so the vertices of the kept
// triangle this many places ahead are fetched while one is drawn.
constexpr ptrdiff_t kPrefetchAhead = 2;

// Draws the kept triangles that reach rows top .. bottom - 1, each with its box cut to them (as
// FindTriangleBox would find it in the band).
void DrawBand(const DrawWork& w, int top, int bottom) {
    RasterTarget target = *w.ctx.target;
    target.top = top;
    target.bottom = bottom;
    DrawContext ctx = w.ctx;
    ctx.target = &target;
    for (uint32_t chunk = 0; chunk < w.triangleChunks.Count(); ++chunk) {
        const device_detail::LiveChunk& kept = w.liveChunks[chunk];
        if (kept.count == 0 || kept.bottom < top || kept.top >= bottom) {
            continue;
        }
        const device_detail::LiveTriangle* t = w.live + w.triangleChunks.Begin(chunk);
        for (const device_detail::LiveTriangle* end = t + kept.count; t != end; ++t) {
            if (end - t > kPrefetchAhead) {
                const device_detail::LiveTriangle& ahead = t[kPrefetchAhead];
                if (ahead.box.bottom >= top && ahead.box.top < bottom && ahead.planes == 0) {
                    w.Prefetch(ahead);
                }
            }
            if (t->box.bottom >= top && t->box.top < bottom) {
                device_detail::TriangleBox box = t->box;
                box.top = std::max(box.top, top);
                box.bottom = std::min(box.bottom, bottom - 1);
                w.Draw(ctx, *t, box);
            }
        }
    }
}

// Draws with fewer triangles than this are sorted out on the calling thread; the threads only
// share drawing the queue when its boxes hold at least this many pixels. Below either, handing the
// work over costs about as much as it saves.
constexpr uint32_t kMinSharedTriangles = 512;
constexpr uint64_t kMinSharedPixels = 4096;
// Smaller texture copies a draw may read: enough for any texture of up to 65536 texels a side.
constexpr int kMaxMipLevels = 16;

// Runs the job on the pool's threads, or as one part on the calling thread without a pool.
void RunPass(PartPool* pool, PartPool::Job job, void* context) {
    if (pool != nullptr) {
        pool->Run(job, context);
    } else {
        job(context, 0, 1);
    }
}

// Draws on the calling thread: each triangle is drawn as soon as it is found to be live.
void DrawAlone(DrawWork& w) {
    w.vertexChunks.Reset(w.vertexCount, kVertexChunk);
    TransformPart(&w, 0, 1);
    w.ForEachLiveTriangle<false>(
        0, w.Triangles(), [&w](const device_detail::LiveTriangle& t, uint64_t) { w.Draw(w.ctx, t, t.box); });
}

// Sets the shaders of a draw up for the state in the target, with the states of the texture's
// smaller copies (kept in mipStates).
void ChooseShaders(const Device3D& device, const RasterTarget& target, const PixelState& state,
                   std::optional<device_detail::SpanShaders>& shaders, PixelState* mipStates) {
    shaders.emplace(target, state);
    if (state.textured && device.textures[0] != nullptr) {
        device_detail::Sampler samplers[kMaxMipLevels];
        shaders->mipCount = device_detail::MipSamplers(*device.textures[0], samplers, kMaxMipLevels);
        for (int i = 0; i < shaders->mipCount; ++i) {
            mipStates[i] = state;
            mipStates[i].sampler = samplers[i];
        }
        shaders->mipStates = mipStates;
    }
}

// Everything a draw reads once its vertices are done: the target, the pixel state and shaders, its
// vertices on screen and in clip space, and its kept triangles. Queued draws keep theirs until
// the queue is drawn; the device keeps one for drawing at once.
struct PreparedDraw {
    RasterTarget target;
    PixelState state;
    PixelState mipStates[kMaxMipLevels];
    std::optional<device_detail::SpanShaders> shaders;
    std::optional<DrawWork> work;
    std::vector<ClipVertex> clip;
    std::vector<ScreenVertex> screen;
    std::vector<device_detail::LiveTriangle> live;
    std::vector<device_detail::LiveChunk> liveChunks;

    // Sets the draw up for the device's state (the vertex stage prepared), reading vertexCount
    // vertices. Its clip and screen vertices go to its own arrays (ownArrays: queued) or to the
    // scratch's, its other working arrays are the scratch's.
    DrawWork& Set(const Device3D& device, const RasterTarget& rt, const PixelState& ps,
                  device_detail::DrawScratch& scratch, bool ownArrays, const DeviceVertex* vertices,
                  uint32_t vertexCount, const uint16_t* indices, uint32_t indexCount) {
        target = rt;
        state = ps;
        ChooseShaders(device, target, state, shaders, mipStates);
        std::vector<ClipVertex>& clipArray = ownArrays ? clip : scratch.clip;
        std::vector<ScreenVertex>& screenArray = ownArrays ? screen : scratch.screen;
        if (clipArray.size() < vertexCount) {
            clipArray.resize(vertexCount);
            screenArray.resize(vertexCount);
        }
        if (scratch.codes.size() < vertexCount) {
            scratch.codes.resize(vertexCount);
            scratch.snapped.resize(vertexCount);
            scratch.used.resize(vertexCount);
        }
        DrawWork& w = work.emplace(DrawContext{&target, &state, &*shaders, device.renderStates[kRsCullMode],
                                               Projector(device.viewport)});
        w.stage = &scratch.stage;
        w.vertices = vertices;
        w.vertexCount = vertexCount;
        w.indices = indices;
        w.indexCount = indexCount;
        w.clip = clipArray.data();
        w.screen = screenArray.data();
        w.codes = scratch.codes.data();
        w.snapped = scratch.snapped.data();
        w.used = scratch.used.data();
        return w;
    }
};

// The front end of a draw with the pool's threads (vertices, triangles, shading the used
// vertices, each pass shared when it is large enough); the kept triangles are left in d.
void PrepareShared(PartPool& pool, device_detail::DrawScratch& scratch, PreparedDraw& d) {
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

}  // namespace

namespace device_detail {

// The draws of a scene prepared on the pool's threads, waiting to be drawn together: the threads
// share the rows of the whole queue out in one pass (one hand-over per queue, not one per draw,
// and the many small draws' pixels shared too), each thread drawing every queued draw in its
// rows in the order the draws came.
//
// What the queued draws read or write stays as it was until they are drawn: the queue marks the
// target, the depth surface and the textures' surfaces as its own (DrawSurface::pending), and
// every surface function that reads, writes or releases one of them draws the queue first. A
// texture's decoded copy is only rebuilt after its surface changed, and the work pending on the
// surface is finished before (PrepareSampler), so it is settled too. The caller's vertices and
// indices are not read after the draw call returns.
class DrawQueue final : public PendingSurfaceWork {
  public:
    ~DrawQueue() { Unmark(); }

    // The draw that comes next (set it up, then Add it).
    PreparedDraw& Next() {
        if (draws_.size() <= count_) {
            draws_.push_back(std::make_unique<PreparedDraw>());
        }
        return *draws_[count_];
    }
    // Queues the draw Next gave, prepared with the pool, drawing into target (and depth) and
    // reading texture (nullptr: none).
    void Add(PartPool& pool, DrawSurface& target, DrawSurface* depth, DrawSurface* texture);

    // Surfaces the device locks itself while it adds a draw must not draw the queue.
    void HoldOff(bool hold) { holdOff_ = hold; }

    // Draws the queued draws and empties the queue.
    void Finish() override;

  private:
    void Mark(DrawSurface& surface);
    void Unmark();
    static void DrawPart(void* context, int part, int parts);

    std::vector<std::unique_ptr<PreparedDraw>> draws_;  // the first count_ are queued
    size_t count_ = 0;
    PartPool* pool_ = nullptr;
    std::vector<DrawSurface*> marked_;
    bool holdOff_ = false;
    std::vector<int64_t> rowWork_;  // the queued draws' estimated work on each row of their targets
    int top_ = INT_MAX;             // the rows the queued draws reach: top_ .. bottom_ - 1
    int bottom_ = INT_MIN;
    uint64_t pixels_ = 0;  // of the queued triangles' boxes
    EndClaims bands_;
    int bandTop_[kMaxBands + 1] = {};
};

void DrawQueueDeleter::operator()(DrawQueue* queue) const {
    delete queue;
}

void DrawQueue::Add(PartPool& pool, DrawSurface& target, DrawSurface* depth, DrawSurface* texture) {
    const DrawWork& w = *draws_[count_]->work;
    pool_ = &pool;
    const int top = w.ctx.target->top;
    if (rowWork_.size() < static_cast<size_t>(w.ctx.target->bottom)) {
        rowWork_.resize(static_cast<size_t>(w.ctx.target->bottom), 0);
    }
    int64_t onRow = 0;
    for (int row = 0; row < w.rowSteps - 1; ++row) {
        for (int part = 0; part < w.findParts; ++part) {
            onRow += w.rowWork[static_cast<ptrdiff_t>(part) * w.rowSteps + row];
        }
        rowWork_[static_cast<size_t>(top + row)] += onRow;
    }
    for (int part = 0; part < w.findParts; ++part) {
        pixels_ += w.pixels[part];
    }
    top_ = std::min(top_, top);
    bottom_ = std::max(bottom_, w.ctx.target->bottom);
    ++count_;
    Mark(target);
    if (depth != nullptr) {
        Mark(*depth);
    }
    if (texture != nullptr) {
        Mark(*texture);
    }
}

void DrawQueue::Mark(DrawSurface& surface) {
    if (surface.pending == this) {
        return;
    }
    // Another device's queue reads or writes it too: that one is drawn first (it came first).
    FinishPendingWork(surface);
    surface.pending = this;
    marked_.push_back(&surface);
}

void DrawQueue::Unmark() {
    for (DrawSurface* surface : marked_) {
        surface->pending = nullptr;
    }
    marked_.clear();
}

void DrawQueue::DrawPart(void* context, int, int) {
    auto& queue = *static_cast<DrawQueue*>(context);
    const bool fromTop = !PartPool::OnHelper();
    for (uint32_t band; queue.bands_.Claim(fromTop, band);) {
        const int top = queue.bandTop_[band], bottom = queue.bandTop_[band + 1];
        for (size_t i = 0; i < queue.count_ && top < bottom; ++i) {
            const DrawWork& w = *queue.draws_[i]->work;
            const int from = std::max(top, w.ctx.target->top), to = std::min(bottom, w.ctx.target->bottom);
            if (from < to) {
                DrawBand(w, from, to);
            }
        }
    }
}

void DrawQueue::Finish() {
    if (holdOff_) {
        return;
    }
    Unmark();
    if (count_ == 0) {
        return;
    }
    const bool share = pixels_ >= kMinSharedPixels;
    CutBands(rowWork_.data() + top_, top_, bottom_, share ? pool_->Parts() : 1, bands_, bandTop_);
    RunPass(share ? pool_ : nullptr, DrawPart, this);
    std::fill(rowWork_.begin() + top_, rowWork_.begin() + bottom_, 0);
    count_ = 0;
    top_ = INT_MAX;
    bottom_ = INT_MIN;
    pixels_ = 0;
}

void DrawQueued(Device3D& device) {
    if (device.scratch->queue != nullptr) {
        device.scratch->queue->Finish();
    }
}

}  // namespace device_detail

namespace {

using device_detail::DrawQueue;

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
    device_detail::DrawScratch& scratch = *device.scratch;
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
    device_detail::PrepareVertexStage(device, device.scratch->stage);
    if (!DrawInTarget(device, state, vertices, vertexCount, indices, indexCount)) {
        return kDeviceNoTarget;
    }
    if (device.observer != nullptr) {
        device.observer->Drew(device, vertices, vertexCount, indices, indexCount);
    }
    return kDeviceOk;
}

}  // namespace platform
