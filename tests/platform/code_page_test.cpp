#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::CodePage;
using platform::CodePageToUtf8;

TEST(CodePage, ConvertsEachLanguagesBytesToUtf8) {
    EXPECT_EQ(CodePageToUtf8("\xB0\xA1\xB3\xAA", CodePage::Korean949),
              "\xEA\xB0\x80\xEB\x82\x98");  // Hangul ga, na
    EXPECT_EQ(CodePageToUtf8("\x93\xFA\x96\x7B", CodePage::Japanese932),
              "\xE6\x97\xA5\xE6\x9C\xAC");  // nihon
    EXPECT_EQ(CodePageToUtf8("Par \x80\xE9", CodePage::Western1252), "Par \xE2\x82\xAC\xC3\xA9");
    EXPECT_EQ(CodePageToUtf8("", CodePage::Korean949), "");
}

TEST(CodePage, BrokenBytesBecomeReplacementAndConversionGoesOn) {
    // A lone lead byte at the end, and one followed by a byte that cannot trail it.
    EXPECT_EQ(CodePageToUtf8("ab\xB0", CodePage::Korean949), "ab\xEF\xBF\xBD");
    std::string mixed = CodePageToUtf8("\xB0\x01x", CodePage::Korean949);
    EXPECT_EQ(mixed.substr(0, 3), "\xEF\xBF\xBD");
    EXPECT_EQ(mixed.back(), 'x');
}

TEST(CodePage, TypedTextLosesOnlyTheCharactersTheCodePageLacks) {
    // Hangul and kana typed into a Western game, a broken UTF-8 byte, and text the code page has.
    const std::string typed = std::string("a\xEA\xB0\x80") + "b\xFF" + "c\xC3\xA9";
    EXPECT_EQ(platform::Utf8ToCodePageDropping(typed, CodePage::Western1252), "abc\xE9");
    EXPECT_EQ(platform::Utf8ToCodePageDropping("\xEA\xB0\x80\xE3\x81\x93", CodePage::Korean949),
              "\xB0\xA1\xAA\xB3");  // ga, and ko which CP949 also has
    EXPECT_EQ(platform::Utf8ToCodePageDropping("\xE3\x81\x93\xEA\xB0\x80", CodePage::Japanese932),
              "\x82\xB1");
    EXPECT_EQ(platform::Utf8ToCodePageDropping("", CodePage::Japanese932), "");
}

TEST(CodePage, LongTextSurvivesTheChunkedConversion) {
    std::string korean;
    for (int i = 0; i < 400; ++i) {
        korean += "\xB0\xA1";
    }
    std::string utf8 = CodePageToUtf8(korean, CodePage::Korean949);
    EXPECT_EQ(utf8.size(), 1200u);
}

TEST(CodePage, LanguagesInUpperOrLowerCaseOnly) {
    platform::CodePage codePage = platform::CodePage::Western1252;
    EXPECT_TRUE(platform::LanguageCodePage("kor", codePage));
    EXPECT_EQ(codePage, platform::CodePage::Korean949);
    EXPECT_TRUE(platform::LanguageCodePage("JPN", codePage));
    EXPECT_EQ(codePage, platform::CodePage::Japanese932);
    EXPECT_TRUE(platform::LanguageCodePage("ENG", codePage));
    EXPECT_EQ(codePage, platform::CodePage::Western1252);
    EXPECT_FALSE(platform::LanguageCodePage("Kor", codePage));
    EXPECT_FALSE(platform::LanguageCodePage("KOREAN", codePage));
    EXPECT_EQ(codePage, platform::CodePage::Western1252);  // unchanged
}

}  // namespace
