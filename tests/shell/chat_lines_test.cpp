#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "game/shell/chat/chat_history.h"
#include "game/shell/chat/chat_input.h"

namespace {

using platform::CodePage;
using shell::AddChatLine;
using shell::ChatHistory;
using shell::ChatInput;
using shell::ChatInputLanguage;
using shell::ChatKind;

constexpr ChatInputLanguage kEnglish{CodePage::Western1252, false};
constexpr ChatInputLanguage kKorean{CodePage::Korean949, true};
constexpr ChatInputLanguage kJapanese{CodePage::Japanese932, true};

std::string Line(const ChatHistory& h, int i) {
    return h.lines[i].text;
}

TEST(ChatHistory, NewestFirstFifteenLinesColouredByKindAndExpiringOneByOne) {
    ChatHistory h;
    EXPECT_EQ(AddChatLine(h, nullptr, "", ChatKind::kChat, 0, false), 0);
    EXPECT_EQ(AddChatLine(h, "Ann", "   ", ChatKind::kChat, 0, false), 0);
    for (int i = 0; i < 17; ++i) {
        AddChatLine(h, nullptr, std::to_string(i).c_str(), ChatKind::kSystem, 1000 + 100 * i, false);
    }
    EXPECT_EQ(Line(h, 0), "16");
    EXPECT_EQ(Line(h, 14), "2");  // "0" and "1" fell off the end
    EXPECT_EQ(h.lines[0].colour, 0xFF0000u);
    AddChatLine(h, "Bob", "hi", ChatKind::kChat, 3000, false);
    AddChatLine(h, nullptr, "news", ChatKind::kAnnouncement, 3000, false);
    EXPECT_EQ(Line(h, 1), "[Bob         ] hi");
    EXPECT_EQ(h.lines[1].colour, 0xFFFFFFu);
    EXPECT_EQ(h.lines[0].colour, 0xFFFF00u);

    // The oldest line, "4", arrived at 1400: still there at 21400, gone at 21401; "5" at 21501.
    EXPECT_EQ(Line(h, 14), "4");
    EXPECT_FALSE(shell::ExpireChatLines(h, 21400));
    EXPECT_TRUE(shell::ExpireChatLines(h, 21401));
    EXPECT_EQ(Line(h, 14), "");
    EXPECT_EQ(Line(h, 13), "5");
    EXPECT_FALSE(shell::ExpireChatLines(h, 21450));
    EXPECT_TRUE(shell::ExpireChatLines(h, 21501));
    EXPECT_EQ(Line(h, 13), "");
}

TEST(ChatHistory, LongTextsBreakAfterTheLastBlankOrAtTheRoomLeftAfterTheName) {
    ChatHistory h;
    std::string text(100, 'x');
    text[60] = ' ';
    EXPECT_EQ(AddChatLine(h, nullptr, text.c_str(), ChatKind::kAnnouncement, 0, false), 2);
    EXPECT_EQ(Line(h, 1), text.substr(0, 61));
    EXPECT_EQ(Line(h, 0), text.substr(61));

    const std::string solid(100, 'y');
    EXPECT_EQ(AddChatLine(h, nullptr, solid.c_str(), ChatKind::kChat, 0, false), 2);
    EXPECT_EQ(Line(h, 1), std::string(73, 'y'));
    EXPECT_EQ(Line(h, 0), std::string(27, 'y'));

    // With a name the text gets the 58 bytes the field has left, so nothing is lost.
    EXPECT_EQ(AddChatLine(h, "Ann", solid.c_str(), ChatKind::kChat, 0, false), 2);
    EXPECT_EQ(Line(h, 1), "[Ann         ] " + std::string(58, 'y'));
    EXPECT_EQ(Line(h, 0), "[Ann         ] " + std::string(42, 'y'));
    // A 19-character name (the longest a packet carries) still fits.
    EXPECT_EQ(AddChatLine(h, "NineteenCharacters!", solid.c_str(), ChatKind::kChat, 0, false), 2);
    EXPECT_EQ(Line(h, 1).size(), 73u);
}

TEST(ChatHistory, TwoByteCharactersAreNeverCutInHalf) {
    ChatHistory h;
    std::string korean;
    for (int i = 0; i < 40; ++i) {
        korean += "\xB0\xA1";  // one Hangul syllable in CP949
    }
    EXPECT_EQ(AddChatLine(h, nullptr, korean.c_str(), ChatKind::kChat, 0, true), 2);
    EXPECT_EQ(Line(h, 1), korean.substr(0, 72));  // 73 would end inside a character
    EXPECT_EQ(Line(h, 0), korean.substr(72));
    // A lead byte whose second byte is missing is dropped, not drawn.
    AddChatLine(h, nullptr, "ok\xB0", ChatKind::kChat, 0, true);
    EXPECT_EQ(Line(h, 0), "ok");
}

TEST(ChatHistory, ControlCharactersAndEscapeSequencesAreDropped) {
    ChatHistory h;
    AddChatLine(h, "A\x1b]0;x", "red \x1b[31mtext\x1b[0m\r\n\tend\x7f\x07", ChatKind::kChat, 0, false);
    EXPECT_EQ(Line(h, 0), "[A0;x        ] red textend");
}

TEST(ChatInput, TypedTextArrivesInTheCodePageUpToFortyNineBytesOfWholeCharacters) {
    ChatInput in;
    shell::InsertTypedText(in, kEnglish, "caf\xC3\xA9 \xE4\xB8\xAD!");  // "café 中!": no 中 in CP1252
    EXPECT_EQ(in.text, "caf\xE9 !");
    shell::InsertTypedText(in, kEnglish, std::string(60, 'z').c_str());
    EXPECT_EQ(in.text.size(), 49u);
    EXPECT_EQ(in.caret, 49u);

    ChatInput ko;
    shell::InsertTypedText(ko, kKorean, "\xEC\x95\x88\xEB\x85\x95");  // 안녕
    EXPECT_EQ(ko.text, "\xBE\xC8\xB3\xE7");
    shell::InsertTypedText(ko, kKorean, std::string(44, 'a').c_str());  // 48 bytes now
    shell::InsertTypedText(ko, kKorean, "\xEC\x95\x88");                // would pass 49: dropped whole
    EXPECT_EQ(ko.text.size(), 48u);
    shell::DeleteBeforeCaret(ko, kKorean);
    shell::MoveCaretToEnd(ko, false);
    shell::MoveCaret(ko, kKorean, 1);
    EXPECT_EQ(ko.caret, 2u);  // over one whole syllable
    shell::DeleteAtCaret(ko, kKorean);
    EXPECT_EQ(ko.text.substr(0, 3),
              "\xBE\xC8"
              "a");

    ChatInput ja;
    shell::InsertTypedText(ja, kJapanese, "\xE3\x81\x93\xE3\x82\x93");  // こん
    EXPECT_EQ(ja.text, "\x82\xB1\x82\xF1");
}

TEST(ChatInput, CompositionIsShownAtTheCaretUntilTheInputMethodCommits) {
    ChatInput in;
    shell::InsertTypedText(in, kKorean, "ab");
    shell::MoveCaret(in, kKorean, -1);
    shell::SetComposition(in, "\xED\x95\x9C", 1);  // 한 being composed
    size_t caret = 0;
    EXPECT_EQ(shell::ShownChatInput(in, kKorean, caret),
              "a\xC7\xD1"
              "b");
    EXPECT_EQ(caret, 3u);
    EXPECT_EQ(in.text, "ab");  // not committed yet
    shell::InsertTypedText(in, kKorean, "\xED\x95\x9C");
    EXPECT_TRUE(in.composition.empty());
    EXPECT_EQ(in.text,
              "a\xC7\xD1"
              "b");
    EXPECT_EQ(shell::TakeChatInput(in),
              "a\xC7\xD1"
              "b");
    EXPECT_TRUE(in.text.empty());
    EXPECT_EQ(in.caret, 0u);
}

}  // namespace
