#pragma once
// Where the ball is played from after a shot that came to rest somewhere it may not stay: off
// another green, out of water (one penalty stroke), off a cart path (free drop) and back from out
// of bounds (one penalty stroke).

#include <cstdint>

#include "game/physics/shot_input.h"
#include "game/physics/shot_world.h"

namespace physics {

// Moves shot.ballPos and shot.surface and adds penalty strokes to strokes (never above twice par).
void RelocateBall(const ShotWorld& world, int par, ShotInput& shot, uint16_t& strokes);

}  // namespace physics
