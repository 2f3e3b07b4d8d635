#pragma once
// The picture the desktop shows for the game window (task bar, window list).

#include <cstdint>
#include <vector>

#include "platform/window.h"

namespace platform {

// argb: 0xAARRGGBB pixels, row by row. Ignored when they do not make a width x height picture.
void SetWindowIcon(GameWindow& window, const std::vector<uint32_t>& argb, int width, int height);

}  // namespace platform
