#include "platform/device3d/threads.h"

#include <chrono>

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform::device_detail {

namespace {

// Some 10-100 microseconds of polling after a job before a thread sleeps (outside a scene, or
// waiting for the parts of others): long enough to catch the next draw that follows closely.
constexpr int kSpins = 2000;
// Pauses between two looks at the clock while staying awake: about a microsecond.
constexpr int kPausesPerRound = 64;
// Rounds between two yields of the core while staying awake (some 40 microseconds), so that a
// busy machine's other work gets it now and then. Not after every round: a yielded core may go
// to other work for a whole time slice, and the helper would then miss the draws of the scene.
constexpr int kRoundsPerYield = 32;

// Set on the helper threads of every pool.
thread_local bool onHelper = false;

void Pause() {
#if defined(__SSE2__)
    _mm_pause();
#else
    std::this_thread::yield();
#endif
}

// Polls up to spins times for value to differ from old; true when it does.
template <typename T>
bool PollForChange(const std::atomic<T>& value, T old, int spins) {
    for (int i = 0; i < spins; ++i) {
        if (value.load(std::memory_order_acquire) != old) {
            return true;
        }
        Pause();
    }
    return false;
}

// Waits until value differs from old: polls, then sleeps.
template <typename T>
T WaitForChange(const std::atomic<T>& value, T old) {
    if (!PollForChange(value, old, kSpins)) {
        value.wait(old, std::memory_order_acquire);
    }
    return value.load(std::memory_order_acquire);
}

}  // namespace

int64_t PartPool::SteadyMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

PartPool::PartPool(int parts, Clock clock) : parts_(parts < 1 ? 1 : parts), clock_(std::move(clock)) {
    for (int helper = 1; helper < parts_; ++helper) {
        helpers_.emplace_back([this] { Serve(); });
    }
}

PartPool::~PartPool() {
    stopping_.store(true, std::memory_order_release);
    Signal();
    for (std::thread& t : helpers_) {
        t.join();
    }
}

void PartPool::Signal() {
    signal_.fetch_add(1, std::memory_order_acq_rel);
    signal_.notify_all();
}

int PartPool::CurrentCore() {
#if defined(__linux__)
    return sched_getcpu();
#else
    return -1;
#endif
}

bool PartPool::OnHelper() {
    return onHelper;
}

bool PartPool::KeepHelpersOffCore(int core) {
    if (core < 0) {
        return false;
    }
    if (core == helpersOffCore_) {
        return true;
    }
#if defined(__linux__)
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (core >= CPU_SETSIZE || sched_getaffinity(0, sizeof allowed, &allowed) != 0) {
        return false;
    }
    CPU_CLR(core, &allowed);
    if (CPU_COUNT(&allowed) == 0) {
        return false;
    }
    for (std::thread& helper : helpers_) {
        if (pthread_setaffinity_np(helper.native_handle(), sizeof allowed, &allowed) != 0) {
            return false;
        }
    }
    helpersOffCore_ = core;
    return true;
#else
    return false;
#endif
}

void PartPool::StayAwake() {
    if (parts_ > 1 && !awake_.exchange(true, std::memory_order_acq_rel)) {
        KeepHelpersOffCore(CurrentCore());
        Signal();
    }
}

void PartPool::Rest() {
    awake_.store(false, std::memory_order_release);
}

bool PartPool::PollWhileAwake(uint32_t seen) {
    const int64_t idleSince = clock_();
    for (int round = 1;
         awake_.load(std::memory_order_acquire) && clock_() - idleSince < kAwakeIdleMicroseconds; ++round) {
        if (PollForChange(signal_, seen, kPausesPerRound)) {
            return true;
        }
        if (round % kRoundsPerYield == 0) {
            std::this_thread::yield();
        }
    }
    return signal_.load(std::memory_order_acquire) != seen;
}

uint32_t PartPool::WaitForSignal(uint32_t seen) {
    polling_.fetch_add(1, std::memory_order_acq_rel);
    const bool changed = PollForChange(signal_, seen, kSpins) || PollWhileAwake(seen);
    polling_.fetch_sub(1, std::memory_order_acq_rel);
    if (!changed) {
        signal_.wait(seen, std::memory_order_acquire);
    }
    return signal_.load(std::memory_order_acquire);
}

bool PartPool::Claim(uint32_t generation, int& part) {
    uint64_t claim = claim_.load(std::memory_order_acquire);
    for (;;) {
        if (static_cast<uint32_t>(claim >> 32) != generation ||
            (claim & 0xFFFFFFFFu) >= static_cast<uint64_t>(parts_)) {
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
    Signal();
    RunParts(generation);
    for (int done = done_.load(std::memory_order_acquire); done != parts_;
         done = done_.load(std::memory_order_acquire)) {
        WaitForChange(done_, done);
    }
}

void PartPool::Serve() {
    // The signal the pool was made with: a job given before this thread got going is still seen
    // as new.
    uint32_t seen = 0;
    onHelper = true;
    for (;;) {
        seen = WaitForSignal(seen);
        if (stopping_.load(std::memory_order_acquire)) {
            return;
        }
        // Only the job's own number lets this thread claim its parts; a job that was finished
        // before this thread woke (or a wake-up without a job) has none left.
        RunParts(static_cast<uint32_t>(claim_.load(std::memory_order_acquire) >> 32));
    }
}

}  // namespace platform::device_detail
