#include "game/shell/steps/chat_steps.h"

#include <string>

#include "game/screens/chat_input_line.h"
#include "game/shell/chat/chat_display.h"
#include "game/shell/chat/chat_send.h"
#include "game/shell/client.h"
#include "game/shell/launch/language.h"
#include "game/shell/lobby/lobby_messages.h"
#include "platform/keys.h"
#include "platform/window.h"

namespace shell {

namespace {

bool IsMinimiseKey(int virtualKey) {
    return virtualKey == platform::kKeyLeftWindows || virtualKey == platform::kKeyRightWindows ||
           virtualKey == platform::kKeyApps;
}

void EditKey(Client& client, int virtualKey) {
    ChatInput& input = client.chat.input;
    const ChatInputLanguage language = InputLanguage(client);
    switch (virtualKey) {
        case platform::kKeyBack:
            DeleteBeforeCaret(input, language);
            break;
        case platform::kKeyDelete:
            DeleteAtCaret(input, language);
            break;
        case platform::kKeyLeft:
            MoveCaret(input, language, -1);
            break;
        case platform::kKeyRight:
            MoveCaret(input, language, 1);
            break;
        case platform::kKeyHome:
            MoveCaretToEnd(input, false);
            break;
        case platform::kKeyEnd:
            MoveCaretToEnd(input, true);
            break;
        case platform::kKeyEscape:
            ClearChatInput(input);
            break;
        default:
            break;
    }
}

}  // namespace

void CreateChatInput(Client& client) {
    if (client.shell.gameWindow != nullptr) {
        platform::StartTextInput();
    }
}

void RearmChatInput(Client& client) {
    CreateChatInput(client);
}

void HandleChatKey(Client& client, int virtualKey, bool down) {
    if (virtualKey == platform::kKeyMenu) {
        client.chat.altDown = down;
        return;
    }
    if (!down) {
        return;
    }
    if (IsMinimiseKey(virtualKey)) {
        // The desktop's own keys put the game away, as they would any window; the key goes on.
        if (client.display.window != nullptr) {
            platform::MinimiseWindow(*client.display.window);
        }
    }
    if (client.chat.altDown && virtualKey == 'O') {
        SendCallLobby(client.lobby);
        return;
    }
    if (!client.chat.input.composition.empty()) {
        return;  // the input method has these keys while it composes
    }
    if (virtualKey == platform::kKeyReturn) {
        SendTypedChat(client);
    } else if (virtualKey >= platform::kKeyF1 && virtualKey <= platform::kKeyF8) {
        SendQuickChatFromKey(client, virtualKey - platform::kKeyF1);
    } else if (virtualKey == platform::kKeyF11) {
        ReportChat(client);
    } else {
        EditKey(client, virtualKey);
    }
}

void HandleTypedText(Client& client, const char* utf8) {
    if (client.chat.altDown) {
        return;  // Alt with a key is a command, not text
    }
    InsertTypedText(client.chat.input, InputLanguage(client), utf8);
}

void HandleComposingText(Client& client, const char* utf8, int cursor) {
    SetComposition(client.chat.input, utf8, cursor);
}

void ExpireChatLines(Client& client) {
    if (ExpireChatLines(client.chat.history, client.clock.NowMs())) {
        RequestFullRedraw(client);
    }
}

void ReleaseChatInput(Client& client) {
    if (client.shell.gameWindow != nullptr) {
        platform::StopTextInput();
    }
}

}  // namespace shell
