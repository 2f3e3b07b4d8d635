#include "game/shell/chat/chat_display.h"

#include <string>

#include "game/screens/chat_input_line.h"

#include "game/shell/client.h"
#include "game/shell/launch/language.h"

namespace shell {

ChatInputLanguage InputLanguage(const Client& client) {
    const char* language = client.config.options.language;
    return {client.text.codePage, UsesDoubleByteText(language)};
}

const char* ChatFace(const Client& client) {
    return client.config.fixedFace[0] != '\0' ? client.config.fixedFace : client.config.hudFace;
}

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
            present::PlayGameSound(client.sound, present::GameSound::Notify);
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

void DrawChatInputStep(Client& client) {
    if (client.display.backBuffer == nullptr) {
        return;
    }
    size_t caret = 0;
    const std::string shown = ShownChatInput(client.chat.input, InputLanguage(client), caret);
    screens::DrawChatInputLine(client.text, *client.display.backBuffer, ChatFace(client), shown.c_str(),
                               static_cast<int>(caret));
}

// The input line is drawn into the picture itself, so the picture is all there is to repaint.
void RedrawChatWindow(Client& client) {
    DrawChatInputStep(client);
}

}  // namespace shell
