#pragma once
// The sounds of a replayed shot: the club meeting the ball, the ball meeting trees, ground and
// water, and the cup.

#include "game/present/sound.h"
#include "game/rules/match_state.h"

namespace shell {

struct Client;

// The sound of the club striking the ball for this shot.
present::GameSound ImpactSound(const physics::ShotInput& shot);

// Plays what happens at trajectory point index (the one just reached).
void PlayPointSounds(Client& client, int index);

}  // namespace shell
