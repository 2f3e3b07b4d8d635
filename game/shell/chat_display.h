#pragma once
// Showing chat, notices and system lines: received chat-type messages and the match's own lines
// go into the chat history of the client.

#include "game/shell/chat/chat_history.h"
#include "game/shell/lobby_packet.h"

namespace shell {

struct Client;

// Adds a line to the history (see AddChatLine) and asks for a full redraw when one was added.
void AddChatLineNow(Client& client, const char* name, const char* text, ChatKind kind);

// Shows one received chat-type message: a chat line with the sender's name (0), an announcement
// with the notice sound (80) or without (81), a system line (82).
void ShowChatMessage(Client& client, const LobbyPacket& packet);

// Shows every chat-type message the lobby link has queued, oldest first.
void ShowQueuedChat(Client& client);

}  // namespace shell
