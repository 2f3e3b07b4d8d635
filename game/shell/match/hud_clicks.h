#pragma once
// The mouse on the play screen: what the HUD control under a click does, and the hover highlight.

namespace shell {

struct Client;

void HandleHudClick(Client& client, int x, int y);
void HandleHudHover(Client& client, int x, int y);

}  // namespace shell
