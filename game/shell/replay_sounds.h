#pragma once
// Which sounds a shot's replay makes, and when: the club meeting the ball, the ball touching trees,
// bushes and the ground, and the ball dropping into the cup with the gallery's praise.

#include <vector>

#include "game/physics/ball_state.h"
#include "game/physics/shot_input.h"
#include "game/present/sound.h"

namespace shell {

// The sound of the club meeting the ball: a swish for a shot out of a bunker or a slow one, else
// the sound of the club.
present::GameSound ImpactSound(const physics::ShotInput& shot);
// The sounds of the ball touching something at one point of its path (none, one or two).
std::vector<present::GameSound> ContactSounds(const physics::TrajectoryPoint& point);
// The sounds of a holed ball: the drop into the cup, then praise for par or better.
std::vector<present::GameSound> HoledSounds(int strokes, int par);

}  // namespace shell
