#include "game/physics/lie_table.h"

namespace physics {

// Water never bounces anything (a ball touching it stops); its row holds zeros.
const LieSpec kLieSpecs[core::kSurfaceKindCount] = {
    {"Tee Shot", 0.3f, 0.75f, 0.7f}, {"Fairway", 0.3f, 0.75f, 0.7f},      {"Green", 0.4f, 0.9f, 0.5f},
    {"Rough", 0.2f, 0.6f, 0.9f},     {"Bunker", 0.05f, 0.1f, 0.9f},       {"Way", 0.5f, 0.9f, 0.3f},
    {"Water", 0.0f, 0.0f, 0.0f},     {"Out of Bounds", 0.1f, 0.6f, 0.9f}, {"Other Green", 0.4f, 0.9f, 0.5f},
};

const LieSpec& LieRow(int kind) {
    return kLieSpecs[kind];
}

}  // namespace physics
