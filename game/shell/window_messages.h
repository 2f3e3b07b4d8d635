#pragma once
// The game window's messages: size, move, paint, close, mouse and keys.

#include "game/shell/client.h"
#include "platform/window.h"

namespace shell {

// hidden: minimised or hidden. Coming back rebuilds the display and redraws the state's screen;
// a failed rebuild ends the game.
void OnSize(Client& client, bool hidden);
void OnMove(Client& client, int x, int y);
void OnPaint(Client& client);
void OnClose(Client& client);
void OnMouseMove(Client& client, int x, int y);
void OnLeftButton(Client& client, int x, int y);
void OnKey(Client& client, int virtualKey, bool down);
void OnText(Client& client, const char* utf8);
void OnTextEditing(Client& client, const char* utf8, int cursor);

// The handlers of the window's event pump, all bound to this client.
platform::WindowHandlers MakeWindowHandlers(Client& client);

}  // namespace shell
