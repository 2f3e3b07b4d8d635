#pragma once
// The frame state machine's states. The numbers are fixed: they travel inside the game snapshot
// and are compared by number. 1, 3 and 9 are never entered by this client itself, but a snapshot
// can carry them.

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

}  // namespace shell
