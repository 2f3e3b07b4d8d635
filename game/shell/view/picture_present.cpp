#include "game/shell/view/picture_present.h"

#include "game/shell/chat/chat_display.h"
#include "game/shell/client.h"

namespace shell {

int PresentStep(Client& client) {
    ShellState& shell = client.shell;
    if (!shell.active || !shell.ready) {
        return 0;
    }
    const bool loading = IsLoadingState(shell.gameState);
    const int result = present::PresentFrame(client.display, loading);
    if (client.display.systemChatWindow != 0) {
        if (loading) {
            shell.chatWindowCovered = true;
        } else if (shell.chatWindowCovered) {
            shell.chatWindowCovered = false;
            RedrawChatWindow(client);
        }
    }
    return result;
}

}  // namespace shell
