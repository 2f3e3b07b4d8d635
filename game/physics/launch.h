#pragma once
// The launch: turns the gauge clicks, the club, the lie, the spin buttons, the slope under the
// ball and the wind into the launch fields of the shot record. Only the shooter's client runs it;
// the finished record is what it sends to everyone (message type 7).

#include "game/core/random.h"
#include "game/physics/gauge.h"
#include "game/physics/shot_input.h"
#include "game/physics/wind.h"

namespace physics {

inline constexpr int kShotLaunchedMessage = 7;

struct LaunchConditions {
    GaugeReadings gauge;
    SpinChoice spin;
    Wind wind;
    int gameLevel = 0;  // GAMELEVEL: 0 normal, 1 easier, 2 beginner
};

// Fills launchSpeed, elevation, curveRate, push, wind and powerError, may clamp slopeForward, mark
// a mis-hit in swingKind and switch the bite off. Random draws come from rand.
void Launch(ShotInput& shot, const LaunchConditions& conditions, core::Rand15& rand);

}  // namespace physics
