#pragma once
// The contact half of a shot: the ball meeting an object or the ground, the rolling step with the
// cup, lip-outs and the backspin bite.

#include <cstdint>

#include "game/physics/ball_state.h"
#include "game/physics/shot_input.h"
#include "game/physics/shot_world.h"

namespace physics {

struct ContactState {
    float cupRadius = 0.0f;  // horizontal distance from the pin within which the ball can drop
    float holeSpeed = 0.0f;  // horizontal speed below which a ball within cupRadius drops
    bool lipped = false;     // the ball has lipped out; the cup is not tried again
    float lipTurn = 0.0f;    // radians per step after a lip-out
    int lipSteps = 0;
    int lipCount = 0;
    bool bitten = false;  // the backspin reversal has happened
    bool noBite = false;  // a poor impact cancels the reversal
    Vec3 biteVel;         // velocity reversed at the bite
};

// One shot being simulated: the record, what it is played against, and the moving ball.
struct ShotSimulation {
    const ShotWorld& world;
    const ShotFacts& facts;
    const ShotInput& shot;
    BallState ball;
    ContactState contact;
};

// Cup size by game level, larger for a ball that starts within a yard of the pin.
void SetCupSize(ContactState& contact, int gameLevel, float pinDistance);

// The flight step's segment met an object with the given attribute letter.
void ObjectResponse(BallState& ball, TrajectoryPoint& point, uint8_t kind);
// The flight step's segment met the ground at hit, on a surface of the given kind.
void GroundContact(ShotSimulation& sim, TrajectoryPoint& point, Vec3 hit, uint8_t kind);
void RollStep(ShotSimulation& sim);

}  // namespace physics
