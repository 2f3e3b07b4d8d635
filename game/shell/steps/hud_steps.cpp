// No HUD yet: the play screen is the bare picture.
#include "game/shell/steps/hud_steps.h"

#include "game/shell/client.h"

namespace shell {

void LoadHudSprites(Client&) {}
void FreeHudSprites(Client&) {}
void DrawHud(Client&) {}
void RedrawPlayScreen(Client&) {}
void RedrawReplayView(Client&) {}
void DrawShotResult(Client&) {}
void DrawScoreboard(Client&) {}
void DrawNoticeLines(Client&, int) {}

}  // namespace shell
