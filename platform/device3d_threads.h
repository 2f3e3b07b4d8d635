#pragma once
// The helper threads of the software 3D device: one job at a time is split into parts, part 0 run
// by the calling thread and the others by the helpers, and Run returns when every part is done.
// Helpers spin briefly for the next job (draws follow each other closely) and then sleep.

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

namespace platform::device_detail {

class PartPool {
  public:
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
    void Serve(int part);

    int parts_;
    std::vector<std::thread> helpers_;
    Job job_ = nullptr;
    void* context_ = nullptr;
    std::atomic<uint32_t> generation_{0};  // advanced for every job and for the stop
    std::atomic<int> pending_{0};          // helper parts of the current job still running
    std::atomic<bool> stopping_{false};
};

}  // namespace platform::device_detail
