#pragma once
// The wind over the course: a fresh random wind at the first stroke of every hole, then a slow
// random walk, one step per turn and one every few seconds while a player aims.

#include <cstdint>

#include "game/core/random.h"
#include "platform/vecmath.h"

namespace physics {

inline constexpr float kMaxWindSpeed = 3.0f;
inline constexpr uint32_t kWindDriftIntervalMs = 4000;

struct Wind {
    float windSpeed = 0.0f;      // yards per second, 0-3
    float windDirection = 0.0f;  // radians, 0 .. 2 pi
};

// The next wind: a fresh one when initial, else one random-walk step from current. The match
// driver announces the result; every client applies it when the announcement comes back.
Wind WindStep(Wind current, bool initial, core::Rand15& rand);

// While a player aims the match driver drifts the wind once this has turned true, measured from
// the last wind it announced.
bool WindDriftDue(uint32_t lastWindMs, uint32_t nowMs);

// The wind as the shot record carries it; across the hole it pushes a little harder than along it.
platform::Vec3 WindVector(Wind wind);

}  // namespace physics
