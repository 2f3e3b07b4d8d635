#include "game/shell/launch/word_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using shell::IsTextBlocked;
using shell::ParseWordList;
using shell::WordList;
using shell::WordListStatus;

// Writes a word list: each word gets one extra character after it, is rotated right by its key,
// and every byte after the header is folded into the check value.
std::vector<uint8_t> WordFile(const std::vector<std::string>& words, uint32_t count, bool rightCheck = true) {
    std::vector<uint8_t> body;
    int key = 1;
    for (const std::string& word : words) {
        std::string stored = word + "#";
        body.push_back(static_cast<uint8_t>(stored.size()));
        body.push_back(static_cast<uint8_t>(key));
        for (unsigned char c : stored) {
            int k = key & 7;
            body.push_back(static_cast<uint8_t>((c >> k) | (c << ((8 - k) & 7))));
        }
        key = (key + 3) % 11;  // also keys of 8 and more, which rotate by key mod 8
    }
    uint8_t check[4] = {};
    for (size_t i = 0; i < body.size(); ++i) {
        check[i % 4] ^= body[i];
    }
    if (!rightCheck) {
        check[2] ^= 0x40;
    }
    std::vector<uint8_t> file = {'F',
                                 'N',
                                 'S',
                                 'T',
                                 check[0],
                                 check[1],
                                 check[2],
                                 check[3],
                                 static_cast<uint8_t>(count),
                                 static_cast<uint8_t>(count >> 8),
                                 static_cast<uint8_t>(count >> 16),
                                 static_cast<uint8_t>(count >> 24)};
    for (uint8_t b : body) {
        file.push_back(b);
    }
    return file;
}

TEST(WordList, DecodesRotatedWordsInLowercase) {
    WordList list;
    std::vector<std::string> words = {"bad", "Worse", "ugly", "Nasty", "crude"};
    ASSERT_EQ(ParseWordList(WordFile(words, 5), list), WordListStatus::kLoaded);
    EXPECT_EQ(list.words, (std::vector<std::string>{"bad", "worse", "ugly", "nasty", "crude"}));
}

TEST(WordList, CheckMismatchStillLoadsAndBadMagicLoadsNothing) {
    WordList list;
    EXPECT_EQ(ParseWordList(WordFile({"bad"}, 1, false), list), WordListStatus::kCheckMismatch);
    EXPECT_EQ(list.words, std::vector<std::string>{"bad"});
    std::vector<uint8_t> wrong = WordFile({"bad"}, 1);
    wrong[3] = 'X';
    EXPECT_EQ(ParseWordList(wrong, list), WordListStatus::kBadMagic);
    EXPECT_TRUE(list.words.empty());
    EXPECT_EQ(ParseWordList(std::vector<uint8_t>{'F', 'N', 'S', 'T', 0, 0}, list), WordListStatus::kBadMagic);
}

TEST(WordList, CountAndFileEndBoundTheRecords) {
    WordList list;
    // Fewer records than the header says: reading stops at the end of the file.
    EXPECT_EQ(ParseWordList(WordFile({"one", "two"}, 0xFFFFFFFF), list), WordListStatus::kLoaded);
    EXPECT_EQ(list.words.size(), 2u);
    // More records than the header says: the rest is not read.
    ParseWordList(WordFile({"one", "two", "three"}, 2), list);
    EXPECT_EQ(list.words.size(), 2u);
    // A record cut short is dropped; its bytes still count in the check.
    std::vector<uint8_t> cut = WordFile({"one", "two"}, 2);
    cut.resize(cut.size() - 2);
    EXPECT_EQ(ParseWordList(cut, list), WordListStatus::kCheckMismatch);
    EXPECT_EQ(list.words, std::vector<std::string>{"one"});
}

TEST(WordList, EmptyWordsAreDroppedSoTheyCannotBlockEverything) {
    WordList list;
    ParseWordList(WordFile({"", "bad"}, 2), list);
    EXPECT_EQ(list.words, std::vector<std::string>{"bad"});
    EXPECT_FALSE(IsTextBlocked(list, "hello there", false));
}

TEST(WordFilter, MatchesLettersOnlyInLowercase) {
    WordList list;
    list.words = {"bad", "a@b"};
    EXPECT_TRUE(IsTextBlocked(list, "B a D", false));
    EXPECT_TRUE(IsTextBlocked(list, "so...BAD!", false));
    EXPECT_TRUE(IsTextBlocked(list, "xx A @ B yy", false));
    EXPECT_FALSE(IsTextBlocked(list, "B 4 D", false));
    EXPECT_TRUE(IsTextBlocked(list, "Ba1D", false));  // a digit between the letters is dropped
    EXPECT_FALSE(IsTextBlocked(list, "", false));
    EXPECT_FALSE(IsTextBlocked(WordList{}, "bad", false));
}

TEST(WordFilter, KoreanTextIsNeverBlocked) {
    WordList list;
    list.words = {"bad", "ab", "c"};
    // Hangul whose second bytes are letters in the extended code page area: 0x81 0x41, 0x8C 0x62...
    std::string hangul = "\x81\x41\x8C\x62\xB0\xA1\x81\x61\x81\x42\x81\x63";
    EXPECT_FALSE(IsTextBlocked(list, hangul.c_str(), true));
    EXPECT_TRUE(IsTextBlocked(list, (hangul + " b a d").c_str(), true));
    // English text keeps letters after a byte of 0x80 or more.
    EXPECT_TRUE(IsTextBlocked(list,
                              "\xE9"
                              "bad",
                              false));
}

}  // namespace
