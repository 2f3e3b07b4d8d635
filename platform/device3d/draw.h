#pragma once
// A draw of a triangle list on its way through the device, shared by the files of the draw: the
// pixel state it is drawn with (state.cpp), its passes (draw.cpp) and the scene's queue of draws
// (queue.h).

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/device3d.h"
#include "platform/device3d/pipeline.h"
#include "platform/device3d/project.h"
#include "platform/device3d/raster.h"

namespace platform::device_detail {

// ---- state ----

// The pixel state of the device's render and texture-stage states.
PixelState ResolvePixelState(Device3D& d);

// Smaller texture copies a draw may read: enough for any texture of up to 65536 texels a side.
inline constexpr int kMaxMipLevels = 16;

// Sets the shaders of a draw up for the state in the target, with the states of the texture's
// smaller copies (kept in mipStates).
void ChooseShaders(const Device3D& device, const RasterTarget& target, const PixelState& state,
                   std::optional<SpanShaders>& shaders, PixelState* mipStates);

// ---- the passes (draw.cpp) ----

// What drawing a triangle reads: the target, the pixel state and shaders, the cull mode and the
// viewport mapping.
struct DrawContext {
    const RasterTarget* target;
    const PixelState* state;
    const SpanShaders* shaders;
    uint32_t cullMode;
    Projector project;
};

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

    const VertexStage* stage = nullptr;
    const DeviceVertex* vertices = nullptr;
    uint32_t vertexCount = 0;
    const uint16_t* indices = nullptr;
    uint32_t indexCount = 0;
    ClipVertex* clip = nullptr;
    ScreenVertex* screen = nullptr;
    uint16_t* codes = nullptr;
    SnappedPoint* snapped = nullptr;
    uint8_t* used = nullptr;
    DrawContext ctx;
    ChunkClaims vertexChunks;
    ChunkClaims triangleChunks;
    // The kept triangles, each chunk's from the chunk's first triangle on, and what each chunk kept.
    LiveTriangle* live = nullptr;
    LiveChunk* liveChunks = nullptr;
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

    // The passes' work on one triangle or vertex, defined in draw.cpp (the only file that runs
    // them, so that they are compiled into the passes).

    // The vertices of triangle t and the clip planes it crosses; false when it cannot be seen
    // (bad index, wholly outside one side of the view, or crossing no clip plane with a vertex
    // too far out to rasterise).
    inline bool Triangle(uint32_t t, LiveTriangle& out) const;

    // Drawing alone: shades vertex i unless it is shaded already.
    inline void ShadeOnce(uint16_t i) const;

    // Shared between threads: marks vertex i as used (threads may mark the same vertex at once).
    inline void MarkUsed(uint16_t i) const;

    // Lights, fogs and finishes vertex i.
    inline void Shade(uint32_t i) const;

    // Asks for the projected vertices of a kept triangle to be fetched.
    inline void Prefetch(const LiveTriangle& t) const;

    // Draws a kept triangle; box is its box in c's target unless it crosses a clip plane.
    inline void Draw(const DrawContext& c, const LiveTriangle& t, const TriangleBox& box) const;

    // Calls keep(t, boxPixels) for each of triangles begin .. end - 1 that may draw something,
    // once its vertices are shaded (kShared: marked as used; other threads work on other
    // triangles of the draw at the same time); the box is only found for triangles that cross no
    // clip plane (the others may cover the whole target).
    template <bool kShared, typename Keep>
    inline void ForEachLiveTriangle(uint32_t begin, uint32_t end, Keep&& keep) const;
};

// Everything a draw reads once its vertices are done: the target, the pixel state and shaders, its
// vertices on screen and in clip space, and its kept triangles. Queued draws keep theirs until
// the queue is drawn; the device keeps one for drawing at once.
struct PreparedDraw {
    RasterTarget target;
    PixelState state;
    PixelState mipStates[kMaxMipLevels];
    std::optional<SpanShaders> shaders;
    std::optional<DrawWork> work;
    std::vector<ClipVertex> clip;
    std::vector<ScreenVertex> screen;
    std::vector<LiveTriangle> live;
    std::vector<LiveChunk> liveChunks;

    // Sets the draw up for the device's state (the vertex stage prepared), reading vertexCount
    // vertices. Its clip and screen vertices go to its own arrays (ownArrays: queued) or to the
    // scratch's, its other working arrays are the scratch's.
    DrawWork& Set(const Device3D& device, const RasterTarget& rt, const PixelState& ps, DrawScratch& scratch,
                  bool ownArrays, const DeviceVertex* vertices, uint32_t vertexCount, const uint16_t* indices,
                  uint32_t indexCount) {
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

// Draws the kept triangles of w that reach rows top .. bottom - 1, each with its box cut to them
// (as FindTriangleBox would find it in the band).
void DrawBand(const DrawWork& w, int top, int bottom);

// Runs the job on the pool's threads, or as one part on the calling thread without a pool.
inline void RunPass(PartPool* pool, PartPool::Job job, void* context) {
    if (pool != nullptr) {
        pool->Run(job, context);
    } else {
        job(context, 0, 1);
    }
}

}  // namespace platform::device_detail
