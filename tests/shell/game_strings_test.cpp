#include "game/shell/launch/game_strings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using shell::ReplacePlaceholder;

std::span<const uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

TEST(GameStrings, KeepsOnlyLinesThatRaiseTheIndex) {
    shell::GameStrings s;
    shell::ParseGameStrings(Bytes("0003 three\r\n0001 one\r\n0007 seven\r\n0007 again\r\n"
                                  "0041 last\n0042 beyond\n-001 negative\n"),
                            s);
    EXPECT_STREQ(s.text[3], "three");
    EXPECT_STREQ(s.text[1], "");
    EXPECT_STREQ(s.text[7], "seven");
    EXPECT_STREQ(s.text[41], "last");
}

TEST(GameStrings, TextAlwaysStartsAtTheSixthCharacter) {
    shell::GameStrings s;
    shell::ParseGameStrings(Bytes("12 word\n0013\n0014 \n\n   \n0020 x\n"), s);
    EXPECT_STREQ(s.text[12], "rd");
    EXPECT_STREQ(s.text[13], "");  // a line too short for a text stores an empty one
    EXPECT_STREQ(s.text[14], "");
    EXPECT_STREQ(s.text[20], "x");
}

TEST(GameStrings, LongLinesAndForeignBytesAreCutNotOverrun) {
    shell::GameStrings s;
    std::string korean;
    for (int i = 0; i < 200; ++i) {
        korean += "\xB0\xA1";
    }
    shell::ParseGameStrings(Bytes("0001 " + std::string(400, 'a') + "\n0002 " + korean + "\n0003 ok\n"), s);
    EXPECT_EQ(std::string(s.text[1]), std::string(254, 'a'));
    EXPECT_EQ(std::string(s.text[2]).size(), 254u);
    EXPECT_STREQ(s.text[3], "ok");
}

TEST(QuickChat, ReadsEightLinesOfFortyEightCharacters) {
    std::string file;
    for (int i = 0; i < 10; ++i) {
        file += "Line " + std::to_string(i) + (i == 2 ? std::string(300, '!') : "") + "\r\n";
    }
    shell::QuickChat q;
    shell::ParseQuickChat(Bytes(file), q);
    EXPECT_STREQ(q.text[0], "Line 0");
    EXPECT_EQ(std::string(q.text[2]), "Line 2" + std::string(42, '!'));
    EXPECT_STREQ(q.text[3], "Line 3");  // a long line does not spill into the next entry
    EXPECT_STREQ(q.text[7], "Line 7");
    shell::QuickChat few;
    shell::ParseQuickChat(Bytes("only one"), few);
    EXPECT_STREQ(few.text[0], "only one");
    EXPECT_STREQ(few.text[1], "");
}

TEST(Placeholders, ReplaceEveryOccurrenceInOnePass) {
    EXPECT_STREQ(ReplacePlaceholder("{id} used a power shot", "{id}", "Ann").text, "Ann used a power shot");
    EXPECT_STREQ(ReplacePlaceholder("{id} and {id}", "{id}", "Bo").text, "Bo and Bo");
    EXPECT_STREQ(ReplacePlaceholder("no placeholder", "{id}", "Bo").text, "no placeholder");
    EXPECT_STREQ(ReplacePlaceholder("{count} left", "{count}", 3).text, "3 left");
    EXPECT_STREQ(ReplacePlaceholder("{ballcount}", "{ballcount}", -10).text, "-10");
    // A name that is itself a placeholder is put in once and not searched again.
    EXPECT_STREQ(ReplacePlaceholder("{id} left", "{id}", "{id}").text, "{id} left");
    EXPECT_STREQ(ReplacePlaceholder("{id}{id}", "{id}", "x{id}").text, "x{id}x{id}");
    // Chained: the first result is the second's template.
    shell::GameText first = ReplacePlaceholder("{id} paid {ballcount}", "{id}", "Cy");
    EXPECT_STREQ(ReplacePlaceholder(first.text, "{ballcount}", 10).text, "Cy paid 10");
    EXPECT_STREQ(ReplacePlaceholder("a{}b", "", "zz").text, "a{}b");
}

TEST(Placeholders, ResultIsCutAtItsCapacity) {
    std::string many;
    for (int i = 0; i < 100; ++i) {
        many += "{id}";
    }
    shell::GameText t = ReplacePlaceholder(many.c_str(), "{id}", "abcdefghijkl");
    EXPECT_EQ(std::strlen(t.text), static_cast<size_t>(shell::kGameTextCapacity - 1));
}

}  // namespace
