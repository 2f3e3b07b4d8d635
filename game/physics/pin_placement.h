#pragma once
// Where the cup is cut on this hole and which sky hangs over it, drawn once by the match driver at
// the first stroke of the hole.

#include <cstdint>

#include "game/core/random.h"
#include "game/physics/hole_marks.h"
#include "game/physics/shot_world.h"

namespace physics {

// Draws after which a hole without green around its nominal cup gets the nominal cup.
inline constexpr int kMaxPinDraws = 1000;

struct PinChoice {
    platform::Vec3 pin;
    uint8_t sky = 0;
};

// A point on the green within 5 yards (in x and in z) of the nominal cup, at ground height, and a
// sky index below skyCount.
PinChoice PlacePin(const ShotWorld& world, platform::Vec3 cupPoint, int skyCount, core::Rand15& rand);

// The pin announcement arrived: the layup point follows the pin when it stood on the old one.
void ApplyPin(HoleMarks& marks, platform::Vec3& pin, platform::Vec3 newPin);

}  // namespace physics
