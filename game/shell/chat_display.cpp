#include "game/shell/chat_display.h"

#include <string>

#include "game/shell/client.h"
#include "game/shell/frame_tick.h"
#include "game/shell/language.h"
#include "game/shell/steps/sound_steps.h"

namespace shell {

void AddChatLineNow(Client& client, const char* name, const char* text, ChatKind kind) {
    const bool doubleByte = UsesDoubleByteText(client.config.options.language);
    if (AddChatLine(client.chat.history, name, text, kind, client.clock.NowMs(), doubleByte) > 0) {
        RequestFullRedraw(client);
    }
}

void ShowChatMessage(Client& client, const LobbyPacket& packet) {
    const std::string text = PacketText(packet);
    switch (packet.type) {
        case kMsgChat:
            AddChatLineNow(client, packet.sender, text.c_str(), ChatKind::kChat);
            break;
        case kMsgNotice:
            AddChatLineNow(client, nullptr, text.c_str(), ChatKind::kAnnouncement);
            PlayGameSound(client, present::GameSound::Notify);
            break;
        case kMsgQuietNotice:
            AddChatLineNow(client, nullptr, text.c_str(), ChatKind::kAnnouncement);
            break;
        case kMsgSystemText:
            AddChatLineNow(client, nullptr, text.c_str(), ChatKind::kSystem);
            break;
        default:
            break;
    }
}

void ShowQueuedChat(Client& client) {
    std::deque<LobbyPacket>& queue = client.lobby.chatQueue;
    while (!queue.empty()) {
        const LobbyPacket packet = std::move(queue.front());
        queue.pop_front();
        ShowChatMessage(client, packet);
    }
}

}  // namespace shell
