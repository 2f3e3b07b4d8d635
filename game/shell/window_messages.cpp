#include "game/shell/window_messages.h"

#include "game/shell/capture.h"
#include "game/shell/frame_tick.h"
#include "game/shell/match/match_steps.h"
#include "game/shell/state_work.h"
#include "game/shell/steps/chat_steps.h"
#include "game/shell/view/hole_scene.h"
#include "game/shell/view/picture_present.h"
#include "platform/keys.h"

namespace shell {

namespace {

bool ShowsScene(GameState state) {
    return state == GameState::Playing || state == GameState::Replay || state == GameState::ShotResult;
}

}  // namespace

void OnSize(Client& client, bool hidden) {
    ShellState& shell = client.shell;
    if (shell.quitting) {
        return;
    }
    shell.active = !hidden;
    if (!shell.active || !shell.ready) {
        return;
    }
    shell.ready = false;
    present::ReleaseDisplay(client.display);
    if (present::InitDisplay(client.display, shell.gameWindow, client.clock.NowMs()) == 0) {
        if (ShowsScene(shell.gameState)) {
            RebuildSceneResources(client);
        }
        FullRedraw(client);
    } else {
        EndGame(client);
    }
    shell.ready = !shell.quitting;
}

// The picture always lies at the origin of the primary surface, which the window shows wherever it
// is, so a move changes nothing for presenting.
void OnMove(Client&, int, int) {}

void OnPaint(Client& client) {
    const ShellState& shell = client.shell;
    if (shell.active && shell.ready && !shell.quitting) {
        PresentStep(client);
        RearmChatInput(client);
    }
}

void OnClose(Client& client) {
    EndGame(client);
}

// The last moments of a game that is ending (the lobby closed it, or a team match was settled)
// take no clicks, keys or typed text: the picture stays up until the window closes.
bool TakesInput(const Client& client) {
    return !client.shell.quitting && !client.matchExtras.ending.running;
}

void OnMouseMove(Client& client, int x, int y) {
    if (!TakesInput(client)) {
        return;
    }
    client.display.cursorX = static_cast<int16_t>(x);
    client.display.cursorY = static_cast<int16_t>(y);
    HandleMouseMove(client, x, y);
}

void OnLeftButton(Client& client, int x, int y) {
    if (TakesInput(client)) {
        HandleClick(client, x, y);
    }
}

void OnKey(Client& client, int virtualKey, bool down) {
    if (virtualKey == platform::kKeyF12) {
        if (down) {
            CaptureOnKey(client);
        }
        return;
    }
    if (TakesInput(client)) {
        HandleChatKey(client, virtualKey, down);
    }
}

void OnText(Client& client, const char* utf8) {
    if (TakesInput(client)) {
        HandleTypedText(client, utf8);
    }
}

void OnTextEditing(Client& client, const char* utf8, int cursor) {
    if (TakesInput(client)) {
        HandleComposingText(client, utf8, cursor);
    }
}

platform::WindowHandlers MakeWindowHandlers(Client& client) {
    platform::WindowHandlers h;
    h.onSize = [&client](bool hidden) { OnSize(client, hidden); };
    h.onMove = [&client](int x, int y) { OnMove(client, x, y); };
    h.onPaint = [&client] { OnPaint(client); };
    h.onClose = [&client] { OnClose(client); };
    h.onMouseMove = [&client](int x, int y) { OnMouseMove(client, x, y); };
    h.onLeftButton = [&client](int x, int y) { OnLeftButton(client, x, y); };
    h.onKey = [&client](int key, bool down) { OnKey(client, key, down); };
    h.onText = [&client](const char* text) { OnText(client, text); };
    h.onTextEditing = [&client](const char* text, int cursor) { OnTextEditing(client, text, cursor); };
    return h;
}

}  // namespace shell
