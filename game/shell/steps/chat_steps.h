#pragma once
// What the frame loop asks of chat: the input line, typed keys and text, and chat lines.

namespace shell {

struct Client;

void CreateChatInput(Client& client);
// Gives the chat input the keyboard again after the window was repainted.
void RearmChatInput(Client& client);
void HandleChatKey(Client& client, int virtualKey, bool down);
void HandleTypedText(Client& client, const char* utf8);
void ExpireChatLines(Client& client);
// Repaints a chat window that the loading picture covered.
void RedrawChatWindow(Client& client);
void ReleaseChatInput(Client& client);

}  // namespace shell
