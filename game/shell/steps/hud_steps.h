#pragma once
// What the frame loop asks of the HUD, the scoreboard and the text layer.

#include "game/screens/hud_layout.h"

namespace shell {

struct Client;

// What the HUD shows, gathered from the client's records.
void FillHudView(Client& client, screens::HudView& view);
// The control under a point of the picture as the current view offers it.
screens::HudHit HitTestPlayScreen(Client& client, int x, int y);
// Hover at a point: updates the HUD's hover flags and redraws the controls when one changed.
void HoverPlayScreen(Client& client, int x, int y);
// The swing gauge's frame for the current time over the shot button (drawn when it changes).
void DrawSwingGaugeStep(Client& client);

void LoadHudSprites(Client& client);
void FreeHudSprites(Client& client);
// The per-frame overlay while playing.
void DrawHud(Client& client);
// Full redraws of the play screen and the replay view.
void RedrawPlayScreen(Client& client);
void RedrawReplayView(Client& client);
void DrawShotResult(Client& client);
void DrawScoreboard(Client& client);
// The two text lines of a notice box (game strings firstString and firstString + 1).
void DrawNoticeLines(Client& client, int firstString);

}  // namespace shell
