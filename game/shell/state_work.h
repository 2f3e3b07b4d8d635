#pragma once
// The per-state work of a frame and the state changes it makes.

#include "game/shell/client.h"

namespace shell {

void RunStateWork(Client& client);

// Ends the game: releases everything in order and stops the main loop.
void EndGame(Client& client);

}  // namespace shell
