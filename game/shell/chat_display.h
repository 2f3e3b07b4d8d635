#pragma once
// Showing a chat, notice or system message the moment it arrives.

#include "game/shell/lobby_packet.h"

namespace shell {

// Shows one received chat-type message (chat line with the sender's name, announcement, or system
// line). The chat lines themselves come with the chat window; until then nothing is drawn.
void ShowChatMessage(const LobbyPacket& packet);

}  // namespace shell
