#pragma once
// What the frame loop asks of the HUD, the scoreboard and the text layer.

#include "game/screens/hud_layout.h"

namespace shell {

struct Client;

// What the HUD shows, gathered from the client's records: the one view that drawing, clicks and
// hover all read, so a control is clickable exactly when it is drawn.
void FillHudView(Client& client, screens::HudView& view);
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
