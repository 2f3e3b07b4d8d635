#pragma once
// The fixed points of the hole that turn preparation works from.

#include "platform/vecmath.h"

namespace physics {

struct HoleMarks {
    platform::Vec3 teePoint;
    platform::Vec3 layupPoint;  // default aim point on long holes; follows the pin when they coincide
    platform::Vec3 cupPoint;    // nominal cup: the centre of the square the pin is drawn in
};

}  // namespace physics
