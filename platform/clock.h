#pragma once
// The game's millisecond clock. Each client owns one: either the real clock (monotonic time,
// sped up by BRIGHTLEA_TIME_SCALE) or a test clock that only moves when a test advances it.

#include <chrono>
#include <cstdint>

namespace platform {

class GameClock {
  public:
    // The real clock, scaled by the BRIGHTLEA_TIME_SCALE environment variable when it holds a
    // positive number.
    static GameClock Real();
    // The real clock at its own pace, for what must not speed up with the game (network waits,
    // frame pacing).
    static GameClock RealUnscaled();
    // A clock standing at startMs until Advance is called.
    static GameClock Test(uint32_t startMs = 0);

    // Milliseconds since an arbitrary start, wrapping at 2^32 like the system timer.
    uint32_t NowMs() const;
    // Moves a test clock forward; does nothing to the real clock.
    void Advance(uint32_t ms);
    double Scale() const { return scale_; }

  private:
    bool isTest_ = true;
    uint32_t testNow_ = 0;
    double scale_ = 1.0;
    std::chrono::steady_clock::time_point start_{};
};

// Parses a time-scale text; returns 1.0 for anything that is not a positive finite number.
double ParseTimeScale(const char* text);

}  // namespace platform
