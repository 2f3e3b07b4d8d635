#pragma once
// The flag: a 3 x 3 yard picture standing on its bottom edge, centred on x = 0 and facing -z, drawn
// as two triangles. It is turned to face the viewer and moved to the pin before it is drawn.

#include <cstdint>

#include "game/core/fnx_model.h"

namespace course {

inline constexpr core::FnxVertex kFlagQuadVertices[4] = {
    {-1.5f, 3.0f, 0.0f, 0.0f, 0.0f, -1.0f, 0.0f, 0.0f},
    {1.5f, 3.0f, 0.0f, 0.0f, 0.0f, -1.0f, 1.0f, 0.0f},
    {-1.5f, 0.0f, 0.0f, 0.0f, 0.0f, -1.0f, 0.0f, 1.0f},
    {1.5f, 0.0f, 0.0f, 0.0f, 0.0f, -1.0f, 1.0f, 1.0f},
};
inline constexpr uint16_t kFlagQuadIndices[6] = {0, 1, 2, 2, 1, 3};

}  // namespace course
