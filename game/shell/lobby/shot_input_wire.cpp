#include "game/shell/lobby/shot_input_wire.h"

#include "game/shell/lobby/wire_fields.h"

namespace shell {

void PackShotInput(const physics::ShotInput& shot, uint8_t out[physics::kShotInputWireSize]) {
    platform::LeWriter w(out, physics::kShotInputWireSize);
    WriteShotInput(w, shot);
}

physics::ShotInput UnpackShotInput(const uint8_t in[physics::kShotInputWireSize]) {
    platform::LeReader r(in, physics::kShotInputWireSize);
    return ReadShotInput(r);
}

}  // namespace shell
