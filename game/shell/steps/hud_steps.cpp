// No HUD yet: the play screen is the bare picture.
#include "game/shell/steps/hud_steps.h"

#include "game/present/text.h"
#include "game/shell/client.h"

namespace shell {

void LoadHudSprites(Client&) {}
void FreeHudSprites(Client&) {}
void DrawHud(Client&) {}
void RedrawPlayScreen(Client&) {}
void RedrawReplayView(Client&) {}
void DrawShotResult(Client&) {}
void DrawScoreboard(Client&) {}
void DrawNoticeLines(Client& client, int firstString) {
    if (client.display.backBuffer == nullptr || firstString < 0 || firstString + 1 >= kGameStringCount) {
        return;
    }
    present::SetTextFont(client.text, client.config.hudFace, 8, 16, true);
    for (int line = 0; line < 2; ++line) {
        present::DrawTextAt(client.text, *client.display.backBuffer, 400, 280 + 24 * line, 0xFFFF00,
                            client.config.strings.text[firstString + line], present::kAlignCenter);
    }
}

}  // namespace shell
