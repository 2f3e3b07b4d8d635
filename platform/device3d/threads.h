#pragma once
// The helper threads of the software 3D device: one job at a time is split into parts, and Run
// returns when every part is done. Parts are claimed one by one by whichever thread comes first,
// the calling thread included, so a helper that is slow to wake delays nothing: the caller then
// does that part itself.
//
// Between jobs helpers poll briefly and then sleep. While the device draws a scene (StayAwake ..
// Rest) they keep polling, yielding the core now and then, so that each draw of the scene finds
// them ready; they sleep when the scene ends or when no job has come for kAwakeIdleMicroseconds,
// so a game that stops drawing in the middle of a scene holds no core.
//
// Within a job, the parts may share items out by chunks (ChunkClaims) instead of fixed ranges.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

namespace platform::device_detail {

// Items 0 .. count - 1 claimed from both ends until the ends meet: the thread that gave the job
// takes them from the front, the helpers from the back. A thread thus keeps to its own end of the
// items from one job to the next (the rows of a picture: they stay in that core's cache), and only
// the items in the middle go to whichever thread gets there first.
class EndClaims {
  public:
    void Reset(uint32_t count) { ends_.store(uint64_t{count} << 32, std::memory_order_relaxed); }
    // Takes the first unclaimed item (fromFront) or the last one; false when none is left. Every
    // item is taken once between two Resets.
    bool Claim(bool fromFront, uint32_t& item) {
        uint64_t ends = ends_.load(std::memory_order_relaxed);
        for (;;) {
            const auto front = static_cast<uint32_t>(ends), back = static_cast<uint32_t>(ends >> 32);
            if (front >= back) {
                return false;
            }
            const uint64_t claimed = fromFront ? ends + 1 : ends - (uint64_t{1} << 32);
            if (ends_.compare_exchange_weak(ends, claimed, std::memory_order_relaxed)) {
                item = fromFront ? front : back - 1;
                return true;
            }
        }
    }

  private:
    std::atomic<uint64_t> ends_{0};  // the next item from the front | one past the last one left << 32
};

// The items of a pass cut into chunks of a fixed size that the threads claim one by one: a thread
// that starts late or meets the heavier chunks holds nobody up, and what a chunk produces does not
// depend on which thread worked it out. The chunks are claimed from both ends (EndClaims): the
// thread that gave the job works up from the first chunk, the helpers down from the last. So the
// threads work far apart (neighbouring items, the triangles of a mesh, share data, and two threads
// writing and reading the same cache lines slow each other down), and each thread keeps much the
// same items from one pass of a draw to the next: the vertices it transformed are mostly the ones
// its triangles read and the ones it shades, still in its own core's cache.
class ChunkClaims {
  public:
    void Reset(uint32_t items, uint32_t chunkSize) {
        items_ = items;
        size_ = chunkSize;
        count_ = static_cast<uint32_t>((uint64_t{items} + chunkSize - 1) / chunkSize);
        ends_.Reset(count_);
    }
    uint32_t Count() const { return count_; }
    uint32_t Begin(uint32_t chunk) const { return chunk * size_; }
    uint32_t End(uint32_t chunk) const {
        return static_cast<uint32_t>(std::min<uint64_t>(items_, uint64_t{chunk + 1} * size_));
    }
    // Takes the first unclaimed chunk (fromFront) or the last one (any thread); false when none is
    // left. Every chunk is taken once between two Resets.
    bool Claim(bool fromFront, uint32_t& chunk) { return ends_.Claim(fromFront, chunk); }

  private:
    uint32_t items_ = 0;
    uint32_t size_ = 1;
    uint32_t count_ = 0;
    EndClaims ends_;
};

class PartPool {
  public:
    // Called with every part number 0 .. parts - 1 exactly once per job, on any of the threads.
    using Job = void (*)(void* context, int part, int parts);
    // Microseconds of a monotonic clock; the helpers read it to notice that no job has come.
    using Clock = std::function<int64_t()>;
    static int64_t SteadyMicroseconds();
    // How long awake helpers poll for the next job before they sleep anyway.
    static constexpr int64_t kAwakeIdleMicroseconds = 2000;

    // parts - 1 helper threads; parts is at least 1.
    explicit PartPool(int parts, Clock clock = SteadyMicroseconds);
    ~PartPool();
    PartPool(const PartPool&) = delete;
    PartPool& operator=(const PartPool&) = delete;

    int Parts() const { return parts_; }
    // Runs job(context, part, parts) for every part; returns when all have finished.
    void Run(Job job, void* context);

    // Wakes the helpers and keeps them polling for jobs until Rest (or until they have been idle
    // for kAwakeIdleMicroseconds); the next Run after that wakes them again. The helpers are kept
    // off the calling thread's core (KeepHelpersOffCore).
    void StayAwake();
    // Lets the helpers run on the cores the process may use except this one; false when that
    // leaves none or the system does not allow it (they then run anywhere, as before). Why: a
    // helper woken while the calling thread draws is often queued on the caller's own core (the
    // scheduler places a woken thread by its waker when no core looks idle) and waits there for
    // the caller's time slice to end, some milliseconds, longer than a whole scene; once running,
    // it would take turns with the caller on that core instead of working beside it.
    bool KeepHelpersOffCore(int core);
    // The core the calling thread runs on (-1 when unknown).
    static int CurrentCore();
    // Whether the calling thread is a helper of some pool (false on the thread that runs jobs).
    static bool OnHelper();
    // Lets the helpers sleep once the polling after their last job is over.
    void Rest();
    // Between StayAwake and Rest (with helpers at all).
    bool StaysAwake() const { return awake_.load(std::memory_order_acquire); }
    // How many helpers are polling for a job right now (the others run a part or sleep).
    int PollingHelpers() const { return polling_.load(std::memory_order_acquire); }

  private:
    void Serve();
    // Waits until signal_ differs from seen: polls, keeps polling while awake, then sleeps.
    uint32_t WaitForSignal(uint32_t seen);
    // Polls while the pool is to stay awake and jobs keep coming; true when the signal changed.
    bool PollWhileAwake(uint32_t seen);
    void Signal();
    // Takes the next unclaimed part of job number generation; false when none is left (or the
    // job is no longer the current one).
    bool Claim(uint32_t generation, int& part);
    // Runs the parts of job number generation that are left.
    void RunParts(uint32_t generation);

    int parts_;
    Clock clock_;
    std::vector<std::thread> helpers_;
    Job job_ = nullptr;
    void* context_ = nullptr;
    uint32_t jobs_ = 0;                // the calling thread's count of jobs given
    std::atomic<uint32_t> signal_{0};  // advanced for every job, every StayAwake and the stop
    // job number << 32 | next unclaimed part; before the first job, job 0 with nothing left to claim.
    std::atomic<uint64_t> claim_{0xFFFFFFFFu};
    std::atomic<int> done_{0};  // parts of the current job finished
    std::atomic<bool> awake_{false};
    std::atomic<int> polling_{0};
    std::atomic<bool> stopping_{false};
    int helpersOffCore_ = -1;  // the core the helpers are kept off (-1: none)
};

}  // namespace platform::device_detail
