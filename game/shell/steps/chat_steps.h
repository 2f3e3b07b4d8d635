#pragma once
// What the frame loop asks of chat: the input line, typed keys and text, and chat lines.

namespace shell {

struct Client;

// Starts the window's text input, so that keys and input methods deliver text to the chat line.
void CreateChatInput(Client& client);
// Gives the chat input the keyboard again after the window was repainted.
void RearmChatInput(Client& client);
void HandleChatKey(Client& client, int virtualKey, bool down);
void HandleTypedText(Client& client, const char* utf8);
// The input method's text being composed (empty when the composition ended).
void HandleComposingText(Client& client, const char* utf8, int cursor);
void ExpireChatLines(Client& client);
void ReleaseChatInput(Client& client);

}  // namespace shell
