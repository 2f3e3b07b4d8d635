#pragma once
// Everything chat keeps for one client: the history on the screen, the input line and the count of
// chat reports sent in this game.

#include "game/shell/chat/chat_history.h"
#include "game/shell/chat/chat_input.h"

namespace shell {

inline constexpr int kChatReportLimit = 3;

struct ChatState {
    ChatHistory history;
    ChatInput input;
    int reportsSent = 0;
    bool altDown = false;  // Alt is held: keys are commands (Alt+O calls the lobby)
};

}  // namespace shell
