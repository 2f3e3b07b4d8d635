#pragma once
// The HUD of one client: its state and its pictures.

#include "game/screens/hud_sprites.h"
#include "game/screens/hud_state.h"

namespace screens {

struct Hud {
    HudState state;
    HudSprites sprites;
};

}  // namespace screens
