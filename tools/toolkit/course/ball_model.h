#pragma once
// The ball models: a sphere centred on the origin, one untextured group. The near and the far
// model must share their vertex count and triangle list (the renderer draws either with the far
// model's indices), so both come from the same tessellation and differ only in size.

#include "game/core/fnx_model.h"

namespace tools {

core::FnxModel MakeBallModel(float radius);

}  // namespace tools
