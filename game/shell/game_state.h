#pragma once
// The frame state machine: its states, and the changes of state that every area of the client may
// ask for. The numbers are fixed: they travel inside the game snapshot and are compared by number.
// 1, 3 and 9 are never entered by this client itself, but a snapshot can carry them.

#include <cstdint>

namespace shell {

enum class GameState : int32_t {
    Startup = 0,
    StartupShown = 1,  // never entered; a full redraw in it draws the loading picture
    LoadHole = 2,
    LoadHoleShown = 3,  // likewise
    Playing = 4,
    Swing = 5,
    Replay = 6,
    ShotResult = 7,
    Scoreboard = 8,
    Unused9 = 9,  // never entered
    Waiting = 10,
};

// Startup and LoadHole: the loading picture covers the whole screen.
inline bool IsLoadingState(GameState state) {
    return state == GameState::Startup || state == GameState::LoadHole;
}

struct Client;

// Every state change goes through here, so its time is known to the timed states.
void SetGameState(Client& client, GameState state);
// Asks the next frame to redraw the state's whole screen instead of presenting.
void RequestFullRedraw(Client& client);
// Ends the game: releases everything in order and stops the main loop (the frame loop's
// state_work.cpp).
void EndGame(Client& client);

}  // namespace shell
