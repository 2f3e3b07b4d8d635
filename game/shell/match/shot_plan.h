#pragma once
// How the built-in player means to play a shot: the club, the aim and where to stop the gauge's
// rise. Full clubs are played at full power, picked so that their carry reaches the target; the
// wedges and the putter are played shorter by stopping the rise early.

#include "game/physics/shot_input.h"
#include "platform/vecmath.h"

namespace shell {

struct ShotPlan {
    int club = 0;
    float topMark = 105.0f;  // gauge units at the first click; 105 is full power
    platform::Vec3 aim;
};

// shot is the turn's record (ball, lie class, pin distance); pin the cup.
ShotPlan PlanShot(const physics::ShotInput& shot, platform::Vec3 pin);

// Milliseconds the gauge marker takes for this many units at gaugeRate units per second.
int GaugeUnitsMs(float units, int gaugeRate);

}  // namespace shell
