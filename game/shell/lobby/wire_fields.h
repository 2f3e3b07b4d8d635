#pragma once
// Field-by-field writing and reading of the shot record, shared by its own wire form and by the
// game snapshot that embeds it.

#include "game/physics/shot_input.h"
#include "platform/le_bytes.h"

namespace shell {

void WriteShotInput(platform::LeWriter& w, const physics::ShotInput& shot);
physics::ShotInput ReadShotInput(platform::LeReader& r);

}  // namespace shell
