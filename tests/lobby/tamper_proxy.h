#pragma once
// A proxy of the tests' own between a joining Ravelin and its host, on loopback: it forwards whole
// frames, keeps everything that passed in both directions (what someone on the path would
// record) and can spoil one sealed frame from the joiner: a flipped bit, the frame sent twice, or
// the frame left out.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nettest {

class TamperProxy {
  public:
    enum class Spoil { kNothing, kFlipBit, kReplay, kDrop };
    // Spoils the nth sealed frame (counted from 1) that the joiner sends.
    TamperProxy(uint16_t target, Spoil spoil, int nth);
    ~TamperProxy();
    uint16_t Port() const { return port_; }
    // Every byte that went through, both ways.
    std::string Transcript();
    bool Spoiled() const { return spoiled_; }

  private:
    void Serve();
    void Pipe(int from, int to, bool fromJoiner);
    int listener_ = -1;
    uint16_t port_ = 0;
    uint16_t target_;
    Spoil spoil_;
    int nth_;
    std::atomic<bool> spoiled_{false};
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::string transcript_;
    std::vector<int> fds_;
    std::thread thread_;
};

}  // namespace nettest
