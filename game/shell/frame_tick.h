#pragma once
// One frame of the game: the cursor animation, the current state's work, then either a full redraw
// of the state's screen or the HUD overlay and the present step.

#include "game/shell/client.h"

namespace shell {

void FrameTick(Client& client);

// Every state change goes through here, so its time is known to the timed states.
void SetGameState(Client& client, GameState state);

// Asks the next frame to redraw the state's whole screen instead of presenting.
void RequestFullRedraw(Client& client);
// Redraws the current state's screen on the back buffer (nothing for states without one).
void FullRedraw(Client& client);

// Presents the back buffer while the window is active and the display ready.
int PresentStep(Client& client);

// Startup and LoadHole: the loading picture covers the whole screen.
bool IsLoadingState(GameState state);

}  // namespace shell
