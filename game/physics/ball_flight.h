#pragma once
// The whole shot at once: from the launched shot record to the stored path of the ball and its
// resting place. Every client runs it on the same record and gets the same ball, bit for bit.

#include "game/physics/ball_state.h"
#include "game/physics/shot_input.h"
#include "game/physics/shot_world.h"

namespace physics {

// The ball at the moment of impact: position, time step and launch velocity.
BallState InitBall(const ShotInput& shot);

// Simulates the shot into trajectory and writes the resting fields of the record: surface,
// ballPos, finished and limitReached. The screen fields of the points are left not visible; the
// camera fills them afterwards. Returns the final ball state (its surfaceKind is the last ground
// contact, which the next lie draw reads).
BallState SimulateShot(const ShotWorld& world, const ShotFacts& facts, ShotInput& shot,
                       ShotTrajectory& trajectory);

}  // namespace physics
