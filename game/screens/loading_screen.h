#pragma once
// The picture shown while the game starts and while a hole loads.

#include <cstdint>

#include "game/core/random.h"
#include "game/present/display.h"

namespace screens {

// Fills the back buffer black and draws "Main_start.fni" before the match's first hole, otherwise
// one of "Main_00.fni" .. "Main_02.fni" chosen at random (the generator seeded with the time). A
// missing picture leaves the screen black.
void ShowLoadingScreen(present::Display& display, core::Rand15& rand, bool firstHole, uint32_t nowMs);

}  // namespace screens
