#pragma once
// The scene's queue of draws that the device's threads draw together (DrawQueue).

#include <climits>
#include <cstdint>
#include <iterator>
#include <memory>
#include <numeric>
#include <vector>

#include "platform/device3d/draw.h"

namespace platform::device_detail {

// The drawing pass is cut into bands of rows that the calling thread claims from the top and the
// helpers from the bottom (so that each thread keeps drawing much the same rows from one draw to
// the next, which stay in its core's cache, instead of taking over rows another core has just
// written). Each thread's bands shrink towards the middle, where the ends meet: the work estimate
// is rough (half the boxes' pixels), and the thread whose bands took longer than thought, or that
// lost its core, leaves the bands in the middle to the others; the last band claimed is small, so
// the other threads seldom wait long for it. Sizes in 1/kBandUnits of a thread's share of the work.
inline constexpr int kBandUnits = 16;
inline constexpr int kBandSizes[] = {8, 4, 2, 1, 1};
inline constexpr int kBandsPerThread = static_cast<int>(std::size(kBandSizes));
static_assert(std::accumulate(std::begin(kBandSizes), std::end(kBandSizes), 0) == kBandUnits);
inline constexpr int kMaxBands = kBandsPerThread * kMaxDeviceThreads;

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

}  // namespace platform::device_detail
