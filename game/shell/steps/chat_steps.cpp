// No chat yet: keys and typed text are ignored.
#include "game/shell/steps/chat_steps.h"

#include "game/shell/client.h"

namespace shell {

void CreateChatInput(Client&) {}
void RearmChatInput(Client&) {}
void HandleChatKey(Client&, int, bool) {}
void HandleTypedText(Client&, const char*) {}
void ExpireChatLines(Client&) {}
void RedrawChatWindow(Client&) {}
void ReleaseChatInput(Client&) {}

}  // namespace shell
