#pragma once
// Whether a hole model's ground covers the game's whole terrain grid: a ball anywhere inside the
// grid must find ground under it, or it would fall through the world.

#include <string>
#include <vector>

#include "game/core/fnx_model.h"

namespace tools {

struct GroundPoint {
    float x = 0;
    float z = 0;
};

// Points of the terrain grid (probed at several places in every cell, and at the given points such
// as the tee, aim point and pin) with no ground under them, as "(x, z)" texts; at most `most`.
std::vector<std::string> UncoveredGround(const core::FnxModel& model, const std::vector<GroundPoint>& also,
                                         size_t most);

}  // namespace tools
