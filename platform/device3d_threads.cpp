#include "platform/device3d_threads.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform::device_detail {

namespace {

// Some 10-100 microseconds of polling before a thread sleeps: long enough to catch the next draw
// of a frame, short enough not to hold a core between frames.
constexpr int kSpins = 2000;

void Pause() {
#if defined(__SSE2__)
    _mm_pause();
#else
    std::this_thread::yield();
#endif
}

// Waits until value differs from old: polls, then sleeps.
template <typename T>
T WaitForChange(const std::atomic<T>& value, T old) {
    for (int i = 0; i < kSpins; ++i) {
        const T now = value.load(std::memory_order_acquire);
        if (now != old) {
            return now;
        }
        Pause();
    }
    value.wait(old, std::memory_order_acquire);
    return value.load(std::memory_order_acquire);
}

}  // namespace

PartPool::PartPool(int parts) : parts_(parts < 1 ? 1 : parts) {
    for (int part = 1; part < parts_; ++part) {
        helpers_.emplace_back([this, part] { Serve(part); });
    }
}

PartPool::~PartPool() {
    stopping_.store(true, std::memory_order_release);
    generation_.fetch_add(1, std::memory_order_acq_rel);
    generation_.notify_all();
    for (std::thread& t : helpers_) {
        t.join();
    }
}

void PartPool::Run(Job job, void* context) {
    if (parts_ == 1) {
        job(context, 0, 1);
        return;
    }
    job_ = job;
    context_ = context;
    pending_.store(parts_ - 1, std::memory_order_relaxed);
    generation_.fetch_add(1, std::memory_order_release);
    generation_.notify_all();
    job(context, 0, parts_);
    for (int left = pending_.load(std::memory_order_acquire); left != 0;
         left = pending_.load(std::memory_order_acquire)) {
        WaitForChange(pending_, left);
    }
}

void PartPool::Serve(int part) {
    // The generation the pool was made with: a job given before this thread got going is still
    // seen as new.
    uint32_t seen = 0;
    for (;;) {
        seen = WaitForChange(generation_, seen);
        if (stopping_.load(std::memory_order_acquire)) {
            return;
        }
        job_(context_, part, parts_);
        if (pending_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            pending_.notify_all();
        }
    }
}

}  // namespace platform::device_detail
