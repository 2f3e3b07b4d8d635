#pragma once
// One frame of the game: the cursor animation, the current state's work, then either a full redraw
// of the state's screen or the HUD overlay and the present step.

#include "game/shell/client.h"

namespace shell {

void FrameTick(Client& client);

// Redraws the current state's screen on the back buffer (nothing for states without one).
void FullRedraw(Client& client);

}  // namespace shell
