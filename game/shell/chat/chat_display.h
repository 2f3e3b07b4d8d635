#pragma once
// Showing chat, notices and system lines: received chat-type messages and the match's own lines
// go into the chat history of the client.

#include "game/shell/chat/chat_history.h"
#include "game/shell/chat/chat_input.h"
#include "game/shell/lobby/lobby_packet.h"

namespace shell {

struct Client;

// The fixed-pitch face of the chat lines and the input line: the language's own, else the HUD's
// face (the Korean and Japanese faces have fixed-pitch characters).
const char* ChatFace(const Client& client);
// The code page and character width the chat input edits in.
ChatInputLanguage InputLanguage(const Client& client);
// The input line at the bottom left of the picture (per frame, over the HUD).
void DrawChatInputStep(Client& client);
// Repaints a chat window that the loading picture covered.
void RedrawChatWindow(Client& client);
// Adds a line to the history (see AddChatLine) and asks for a full redraw when one was added.
void AddChatLineNow(Client& client, const char* name, const char* text, ChatKind kind);

// Shows one received chat-type message: a chat line with the sender's name (0), an announcement
// with the notice sound (80) or without (81), a system line (82).
void ShowChatMessage(Client& client, const LobbyPacket& packet);

// Shows every chat-type message the lobby link has queued, oldest first.
void ShowQueuedChat(Client& client);

}  // namespace shell
