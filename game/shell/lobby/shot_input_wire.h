#pragma once
// The shot record's wire form: 102 packed little-endian bytes, as carried by the turn, set-up,
// shot and shot-end messages.

#include <cstddef>
#include <cstdint>

#include "game/physics/shot_input.h"

namespace shell {

// Writes the record's 102 bytes to out.
void PackShotInput(const physics::ShotInput& shot, uint8_t out[physics::kShotInputWireSize]);
// Reads a record from 102 bytes.
physics::ShotInput UnpackShotInput(const uint8_t in[physics::kShotInputWireSize]);

}  // namespace shell
