// Chat as the player uses it: keys, typed and composed text, the word filter and the observer rule,
// on a client that plays alone (what it sends comes straight back to it).

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "game/shell/chat/chat_display.h"
#include "game/shell/client.h"
#include "game/shell/lobby/lobby_messages.h"
#include "game/shell/window_messages.h"
#include "platform/keys.h"

namespace {

using shell::Client;

class ChatKeys : public ::testing::Test {
  protected:
    void SetUp() override {
        client_ = std::make_unique<Client>();
        Client& c = *client_;
        c.clock = platform::GameClock::Test(1000);
        shell::SetLobbyIdentity(c.lobby, "Ann", false);
        std::strcpy(c.config.options.language, "ENG");
        std::strcpy(c.config.strings.text[10], "Observers may not chat.");
        std::strcpy(c.config.strings.text[32], "Report sent.");
        std::strcpy(c.config.strings.text[39], "Blocked.");
        for (int i = 0; i < shell::kQuickChatCount; ++i) {
            std::snprintf(c.config.quickChat.text[i], shell::kQuickChatCapacity, "Quick %d", i + 1);
        }
        c.config.wordList.words = {"bad"};
    }
    void UseLanguage(const char* language, platform::CodePage codePage) {
        std::strcpy(client_->config.options.language, language);
        client_->text.codePage = codePage;
    }
    void Key(int key) {
        shell::OnKey(*client_, key, true);
        shell::OnKey(*client_, key, false);
        shell::ShowQueuedChat(*client_);
    }
    void Type(const char* utf8) { shell::OnText(*client_, utf8); }
    std::string Line(int i) const { return client_->chat.history.lines[i].text; }
    uint32_t Colour(int i) const { return client_->chat.history.lines[i].colour; }

    std::unique_ptr<Client> client_;
};

TEST_F(ChatKeys, EnterSendsTheTypedLineEscapeClearsItAndBackspaceEdits) {
    Type("hellp");
    Key(platform::kKeyBack);
    Type("o there");
    Key(platform::kKeyReturn);
    EXPECT_EQ(Line(0), "[Ann         ] hello there");
    EXPECT_EQ(Colour(0), 0xFFFFFFu);
    EXPECT_TRUE(client_->chat.input.text.empty());
    EXPECT_TRUE(client_->shell.fullRedrawRequested);

    Type("never mind");
    Key(platform::kKeyEscape);
    Key(platform::kKeyReturn);
    Type("   ");
    Key(platform::kKeyReturn);
    EXPECT_EQ(Line(1), "");  // nothing more was sent
}

TEST_F(ChatKeys, TheWordFilterBlocksTypedAndQuickLinesInEveryCodePage) {
    Type("B a D!");
    Key(platform::kKeyReturn);
    EXPECT_EQ(Line(0), "Blocked.");
    EXPECT_EQ(Colour(0), 0xFF0000u);
    Type("B 4 D");
    Key(platform::kKeyReturn);
    EXPECT_EQ(Line(0), "[Ann         ] B 4 D");

    std::strcpy(client_->config.quickChat.text[2], "so bad");
    Key(platform::kKeyF1 + 2);
    EXPECT_EQ(Line(0), "Blocked.");

    UseLanguage("KOR", platform::CodePage::Korean949);
    Type("\xEB\xB0\x94\xEB\x93\x9C");  // 바드: Korean letters are never blocked
    Key(platform::kKeyReturn);
    EXPECT_EQ(Line(0), "[Ann         ] \xB9\xD9\xB5\xE5");
    Type("\xEB\xB0\x94 bad");
    Key(platform::kKeyReturn);
    EXPECT_EQ(Line(0), "Blocked.");

    UseLanguage("JPN", platform::CodePage::Japanese932);
    Type("\xE3\x81\x93 BAD");
    Key(platform::kKeyReturn);
    EXPECT_EQ(Line(0), "Blocked.");
    Type("\xE3\x81\x93");
    Key(platform::kKeyReturn);
    EXPECT_EQ(Line(0), "[Ann         ] \x82\xB1");
}

TEST_F(ChatKeys, QuickChatKeysAndReportsAtMostThreeTimes) {
    Key(platform::kKeyF1 + 7);
    EXPECT_EQ(Line(0), "[Ann         ] Quick 8");
    for (int i = 0; i < 4; ++i) {
        Key(platform::kKeyF11);
    }
    EXPECT_EQ(client_->chat.reportsSent, 3);
    EXPECT_EQ(Line(0), "Report sent.");
    EXPECT_EQ(Line(2), "Report sent.");
    EXPECT_EQ(Line(3), "[Ann         ] Quick 8");
}

TEST_F(ChatKeys, AnObserverWithoutChatIsToldSoAndSendsNothing) {
    client_->config.match.localIsObserver = 1;
    shell::SetLobbyIdentity(client_->lobby, "Watcher", true);
    Key(platform::kKeyF1);
    EXPECT_EQ(Line(0), "");
    Type("hi");
    Key(platform::kKeyReturn);
    EXPECT_EQ(Line(0), "Observers may not chat.");
    Key(platform::kKeyF11);
    EXPECT_EQ(client_->chat.reportsSent, 0);

    client_->config.match.observerChat = 1;
    Type("hi");
    Key(platform::kKeyReturn);
    EXPECT_EQ(Line(0), "[Watcher     ] hi");
}

TEST_F(ChatKeys, ComposedTextIsShownThenCommittedWhileKeysWaitForTheInputMethod) {
    UseLanguage("KOR", platform::CodePage::Korean949);
    shell::OnTextEditing(*client_, "\xE3\x85\x8E", 1);  // ㅎ
    shell::OnTextEditing(*client_, "\xED\x95\x98", 1);  // 하
    Key(platform::kKeyReturn);                          // the input method's Enter, not ours
    EXPECT_EQ(Line(0), "");
    EXPECT_EQ(client_->chat.input.composition, "\xED\x95\x98");
    shell::OnTextEditing(*client_, "", 0);
    Type("\xED\x95\x9C");  // 한 committed
    Key(platform::kKeyReturn);
    EXPECT_EQ(Line(0), "[Ann         ] \xC7\xD1");
}

TEST_F(ChatKeys, ReceivedLinesShowByTypeEvenWithoutATerminatingNul) {
    shell::LobbyPacket packet;
    std::strcpy(packet.sender, "Bob");
    packet.type = shell::kMsgSystemText;
    packet.body = {'l', 'e', 'f', 't'};  // no NUL
    shell::ShowChatMessage(*client_, packet);
    EXPECT_EQ(Line(0), "left");
    EXPECT_EQ(Colour(0), 0xFF0000u);
    packet.type = shell::kMsgQuietNotice;
    shell::ShowChatMessage(*client_, packet);
    EXPECT_EQ(Colour(0), 0xFFFF00u);
    packet.type = shell::kMsgChat;
    packet.body.clear();
    shell::ShowChatMessage(*client_, packet);
    EXPECT_EQ(Line(0), "left");  // an empty text adds nothing
}

}  // namespace
