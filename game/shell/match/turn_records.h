#pragma once
// The local client's own records of the turn: its turn clock, its swing and the replay of the shot
// last sent. Only the match flow of this client reads them; the match state shared by every client
// is rules::MatchState.

#include <cstdint>

#include "game/physics/ball_state.h"
#include "game/physics/gauge.h"
#include "platform/vecmath.h"

namespace shell {

// The local client's view of the turn in progress.
struct TurnClock {
    bool active = false;  // every player is ready and the local player shoots
    uint32_t startMs = 0;
    bool shotMade = false;  // a time-out forces the swing
    bool warned = false;    // the 50 s warning was given
    bool timedOut = false;  // the 60 s limit was reached
};

// The local shooter's swing.
struct SwingState {
    physics::GaugeState gauge;
    uint32_t swingStartMs = 0;
    uint32_t delayUntilMs = 0;  // the swing button's short random delay before the gauge runs
};

// The replay of the shot last sent, walked at 15 steps per second.
struct ReplayState {
    physics::ShotTrajectory trajectory;
    int32_t stepCount = 0;
    int32_t index = 0;          // trajectory point shown
    int32_t animFrame = 0;      // golfer's swing animation frame
    int32_t lastAnimFrame = 0;  // frame at which the swing animation is over
    int32_t swingSteps = 0;     // steps the swing runs before the ball moves
    uint32_t clockMs = 0;       // time of the next step
    bool splashing = false;
    int32_t splashEndStep = 0;  // step at which the splash animation is over
    bool ended = false;
    platform::Vec3 simulatedRest;  // where this client's simulation left the ball
};

}  // namespace shell
