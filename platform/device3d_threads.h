#pragma once
// The helper threads of the software 3D device: one job at a time is split into parts, and Run
// returns when every part is done. Parts are claimed one by one by whichever thread comes first,
// the calling thread included, so a helper that is slow to wake delays nothing: the caller then
// does that part itself. Helpers spin briefly for the next job (draws follow each other closely)
// and then sleep.

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

namespace platform::device_detail {

class PartPool {
  public:
    // Called with every part number 0 .. parts - 1 exactly once per job, on any of the threads.
    using Job = void (*)(void* context, int part, int parts);

    // parts - 1 helper threads; parts is at least 1.
    explicit PartPool(int parts);
    ~PartPool();
    PartPool(const PartPool&) = delete;
    PartPool& operator=(const PartPool&) = delete;

    int Parts() const { return parts_; }
    // Runs job(context, part, parts) for every part; returns when all have finished.
    void Run(Job job, void* context);

  private:
    void Serve();
    // Takes the next unclaimed part of job number generation; false when none is left (or the
    // job is no longer the current one).
    bool Claim(uint32_t generation, int& part);
    // Runs the parts of job number generation that are left.
    void RunParts(uint32_t generation);

    int parts_;
    std::vector<std::thread> helpers_;
    Job job_ = nullptr;
    void* context_ = nullptr;
    uint32_t jobs_ = 0;                    // the calling thread's count of jobs given
    std::atomic<uint32_t> generation_{0};  // advanced for every job and for the stop
    std::atomic<uint64_t> claim_{0};       // job number << 32 | next unclaimed part
    std::atomic<int> done_{0};             // parts of the current job finished
    std::atomic<bool> stopping_{false};
};

}  // namespace platform::device_detail
