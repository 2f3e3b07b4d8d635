#include "game/physics/wind.h"

#include <algorithm>
#include <cmath>

namespace physics {

namespace {

constexpr float kTwoPi = 6.2831855f;

}  // namespace

Wind WindStep(Wind current, bool initial, core::Rand15& rand) {
    Wind next;
    if (initial) {
        next.windSpeed = static_cast<float>(rand.Next()) * kMaxWindSpeed / 32767.0f;
        next.windDirection = static_cast<float>(rand.Next()) * kTwoPi / 32767.0f;
        return next;
    }
    // The current wind arrived in a message: a speed that is not a number starts from calm, a
    // direction that is not an angle from north.
    if (!std::isfinite(current.windSpeed)) {
        current.windSpeed = 0.0f;
    }
    if (!std::isfinite(current.windDirection)) {
        current.windDirection = 0.0f;
    } else if (current.windDirection < 0.0f || current.windDirection >= kTwoPi) {
        current.windDirection = std::fmod(current.windDirection, kTwoPi);
    }
    const float gust = (2.0f * static_cast<float>(rand.Next()) / 32767.0f - 1.0f) * 0.25f;
    next.windSpeed = std::clamp(current.windSpeed + gust, 0.0f, kMaxWindSpeed);
    const float veer = (static_cast<float>(rand.Next()) * 0.62831855f / 32767.0f - 0.31415927f) * 0.5f;
    next.windDirection = current.windDirection + veer;
    // Two separate tests: a tiny negative angle plus 2 pi can round up to exactly 2 pi.
    if (next.windDirection < 0.0f) {
        next.windDirection += kTwoPi;
    }
    if (next.windDirection >= kTwoPi) {
        next.windDirection -= kTwoPi;
    }
    return next;
}

bool WindDriftDue(uint32_t lastWindMs, uint32_t nowMs) {
    return nowMs - lastWindMs > kWindDriftIntervalMs;
}

platform::Vec3 WindVector(Wind wind) {
    return {-0.6f * wind.windSpeed * std::sin(wind.windDirection), 0.0f,
            0.5f * wind.windSpeed * std::cos(wind.windDirection)};
}

}  // namespace physics
