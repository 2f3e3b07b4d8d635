#include "game/shell/chat_display.h"

namespace shell {

void ShowChatMessage(const LobbyPacket& /*packet*/) {}

}  // namespace shell
