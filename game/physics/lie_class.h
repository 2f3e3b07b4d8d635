#pragma once
// The lie of the ball for the next shot, drawn by the match driver from the surface under it: a
// teed ball, a clean lie, the odd bad lie on the fairway, rough that may be deep, sand that may
// bury the ball, or a putt.

#include <cstdint>

#include "game/core/random.h"
#include "platform/vecmath.h"

namespace physics {

struct LieSituation {
    uint8_t surface = 0;             // surface kind under the ball
    uint8_t prevSurface = 0;         // surface kind the previous shot was played from
    int8_t lastContactSurface = -1;  // surface of the last ground contact of the last simulated shot
    platform::Vec3 ball;
    platform::Vec3 teePoint;
    platform::Vec3 pin;
    int par = 4;
};

uint8_t DrawLieClass(const LieSituation& situation, core::Rand15& rand);

}  // namespace physics
