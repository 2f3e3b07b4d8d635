#pragma once
// How each kind of ground answers a ball: bounce, skid and rolling friction. Constant data.

#include "game/core/surface_kind.h"

namespace physics {

struct LieSpec {
    char name[20];   // shown in the HUD
    float bounce;    // factor on the (made positive) vertical speed at a bounce
    float skid;      // factor on both horizontal speed components at a bounce
    float friction;  // rolling friction per second; also the cut of slope acceleration while rolling
};

extern const LieSpec kLieSpecs[core::kSurfaceKindCount];

// kind must be 0-8.
const LieSpec& LieRow(int kind);

}  // namespace physics
