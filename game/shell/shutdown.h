#pragma once

#include "game/shell/client.h"

namespace shell {

// What happens when the game window goes away: the last picture is captured, everything is
// released in order (chat input, word filter, hole, scene, display, HUD pictures, sound) and the
// main loop is told to end. Does nothing the second time.
void DestroyGame(Client& client);

}  // namespace shell
