#include "platform/clock.h"

#include <cmath>
#include <cstdlib>

namespace platform {

double ParseTimeScale(const char* text) {
    if (text == nullptr || *text == '\0') {
        return 1.0;
    }
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(value) || value <= 0.0) {
        return 1.0;
    }
    return value;
}

GameClock GameClock::Real() {
    GameClock clock;
    clock.isTest_ = false;
    clock.scale_ = ParseTimeScale(std::getenv("BRIGHTLEA_TIME_SCALE"));
    clock.start_ = std::chrono::steady_clock::now();
    return clock;
}

GameClock GameClock::RealUnscaled() {
    GameClock clock;
    clock.isTest_ = false;
    clock.start_ = std::chrono::steady_clock::now();
    return clock;
}

GameClock GameClock::Test(uint32_t startMs) {
    GameClock clock;
    clock.testNow_ = startMs;
    return clock;
}

uint32_t GameClock::NowMs() const {
    if (isTest_) {
        return testNow_;
    }
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    const double ms = std::chrono::duration<double, std::milli>(elapsed).count() * scale_;
    return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

void GameClock::Advance(uint32_t ms) {
    if (isTest_) {
        testNow_ += ms;
    }
}

}  // namespace platform
