#include "game/shell/chat/chat_send.h"

#include <string>

#include "game/shell/chat/chat_display.h"
#include "game/shell/client.h"
#include "game/shell/launch/game_strings.h"
#include "game/shell/launch/language.h"
#include "game/shell/launch/text_lines.h"
#include "game/shell/launch/word_filter.h"
#include "game/shell/lobby/lobby_messages.h"

namespace shell {

namespace {

constexpr int kStringObserverMayNotChat = 10;
constexpr int kStringChatReportSent = 32;

void ShowString(Client& client, int index) {
    AddChatLineNow(client, nullptr, client.config.strings.text[index], ChatKind::kSystem);
}

bool Blocked(Client& client, const char* text) {
    if (!IsTextBlocked(client.config.wordList, text, UsesDoubleByteText(client.config.options.language))) {
        return false;
    }
    ShowString(client, kStringChatBlocked);
    ClearChatInput(client.chat.input);
    return true;
}

bool HasWords(const std::string& text) {
    return text.find_first_not_of(' ') != std::string::npos;
}

const char* QuickChatText(const Client& client, int index) {
    return index >= 0 && index < kQuickChatCount ? client.config.quickChat.text[index] : "";
}

}  // namespace

bool MayChat(const Client& client) {
    const MatchConfig& match = client.config.match;
    return match.localIsObserver == 0 || match.observerChat != 0;
}

void SendTypedChat(Client& client) {
    const std::string text = TakeChatInput(client.chat.input);
    if (Blocked(client, text.c_str())) {
        return;
    }
    if (!MayChat(client)) {
        ShowString(client, kStringObserverMayNotChat);
    } else if (HasWords(text)) {
        SendChat(client.lobby, text.c_str());
    }
}

void SendQuickChatFromKey(Client& client, int index) {
    const char* text = QuickChatText(client, index);
    if (!Blocked(client, text) && MayChat(client) && text[0] != '\0') {
        SendChat(client.lobby, text);
    }
}

void SendQuickChatFromMenu(Client& client, int index) {
    const char* text = QuickChatText(client, index);
    if (!MayChat(client)) {
        ShowString(client, kStringObserverMayNotChat);
    } else if (text[0] != '\0') {
        SendChat(client.lobby, text);
    }
}

void ReportChat(Client& client) {
    ChatState& chat = client.chat;
    if (!MayChat(client) || chat.reportsSent >= kChatReportLimit) {
        return;
    }
    char lines[kChatReportLines][kChatReportLineSize] = {};
    for (int i = 0; i < kChatReportLines && i < kChatHistoryLines; ++i) {
        CopyCut(lines[i], kChatReportLineSize, chat.history.lines[i].text);
    }
    SendChatReport(client.lobby, lines);
    ++chat.reportsSent;
    ShowString(client, kStringChatReportSent);
}

}  // namespace shell
