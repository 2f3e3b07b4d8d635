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
    for (int helper = 1; helper < parts_; ++helper) {
        helpers_.emplace_back([this] { Serve(); });
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

bool PartPool::Claim(uint32_t generation, int& part) {
    uint64_t claim = claim_.load(std::memory_order_acquire);
    for (;;) {
        if (static_cast<uint32_t>(claim >> 32) != generation ||
            static_cast<int>(claim & 0xFFFFFFFFu) >= parts_) {
            return false;
        }
        if (claim_.compare_exchange_weak(claim, claim + 1, std::memory_order_acq_rel,
                                         std::memory_order_acquire)) {
            part = static_cast<int>(claim & 0xFFFFFFFFu);
            return true;
        }
    }
}

void PartPool::RunParts(uint32_t generation) {
    // job_ and context_ stay those of this job while any of its parts is unfinished, and a part
    // can only be claimed while the job is current.
    for (int part = 0; Claim(generation, part);) {
        job_(context_, part, parts_);
        if (done_.fetch_add(1, std::memory_order_acq_rel) + 1 == parts_) {
            done_.notify_all();
        }
    }
}

void PartPool::Run(Job job, void* context) {
    if (parts_ == 1) {
        job(context, 0, 1);
        return;
    }
    job_ = job;
    context_ = context;
    done_.store(0, std::memory_order_relaxed);
    const uint32_t generation = ++jobs_;
    claim_.store(uint64_t{generation} << 32, std::memory_order_release);
    generation_.fetch_add(1, std::memory_order_release);
    generation_.notify_all();
    RunParts(generation);
    for (int done = done_.load(std::memory_order_acquire); done != parts_;
         done = done_.load(std::memory_order_acquire)) {
        WaitForChange(done_, done);
    }
}

void PartPool::Serve() {
    // The generation the pool was made with: a job given before this thread got going is still
    // seen as new.
    uint32_t seen = 0;
    for (;;) {
        seen = WaitForChange(generation_, seen);
        if (stopping_.load(std::memory_order_acquire)) {
            return;
        }
        // Only the job's own number lets this thread claim its parts; a job that was finished
        // before this thread woke has none left.
        RunParts(static_cast<uint32_t>(claim_.load(std::memory_order_acquire) >> 32));
    }
}

}  // namespace platform::device_detail
