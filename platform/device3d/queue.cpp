// The scene's queue of draws: marking the surfaces the queued draws use, and drawing the queue in
// bands of rows that the threads claim.

#include "platform/device3d/queue.h"

#include <algorithm>
#include <numeric>

namespace platform::device_detail {

namespace {

// The threads only share drawing the queue when its boxes hold at least this many pixels: below
// it, handing the work over costs about as much as it saves.
constexpr uint64_t kMinSharedPixels = 4096;

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
void CutBands(const int64_t* rowWork, int top, int bottom, int threads, EndClaims& claims, int* bandTop) {
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

}  // namespace

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

}  // namespace platform::device_detail
