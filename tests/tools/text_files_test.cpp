#include "tools/toolkit/text_files.h"

#include <gtest/gtest.h>

#include "tools/toolkit/data_files.h"

namespace {

tools::SourceFile Source(const std::vector<std::string>& lines) {
    tools::SourceFile file;
    file.path = "strings.txt";
    for (size_t i = 0; i < lines.size(); ++i) {
        file.lines.push_back({static_cast<int>(i) + 3, lines[i]});
    }
    return file;
}

std::vector<std::string> CompleteGameStrings() {
    std::vector<std::string> lines;
    for (int i = 0; i < 42; ++i) {
        if (i == 19 || i == 25) {
            continue;
        }
        std::string text = "text";
        if ((i >= 12 && i <= 18) || i == 20 || i == 40) {
            text += " {id}";
        } else if (i >= 21 && i <= 23) {
            text += " {ballcount}";
        } else if (i == 24) {
            text += " {count}";
        } else if (i == 26 || i == 27) {
            text += " {id} {ballcount}";
        }
        lines.push_back(std::to_string(i) + " " + text);
    }
    return lines;
}

TEST(GameStrings, LinesAreWrittenWithFourDigitIndices) {
    std::string out;
    std::string error;
    ASSERT_TRUE(tools::BuildGameStrings(Source(CompleteGameStrings()), "ENG", out, error)) << error;
    EXPECT_EQ(out.substr(0, 10), "0000 text\n");
    EXPECT_NE(out.find("\n0041 text\n"), std::string::npos);
    EXPECT_EQ(out.find("0019"), std::string::npos);
}

TEST(GameStrings, MalformedSourcesNameTheLine) {
    std::string out;
    std::string error;
    std::vector<std::string> lines = CompleteGameStrings();
    lines[12] = "12 text without the name";  // entry 12 needs {id}
    EXPECT_FALSE(tools::BuildGameStrings(Source(lines), "ENG", out, error));
    EXPECT_EQ(error, "strings.txt:15: entry 12 needs {id}");

    lines = CompleteGameStrings();
    std::swap(lines[3], lines[4]);
    EXPECT_FALSE(tools::BuildGameStrings(Source(lines), "ENG", out, error));
    EXPECT_NE(error.find("strings.txt:7: index 3 is not above"), std::string::npos) << error;

    lines = CompleteGameStrings();
    lines.erase(lines.begin() + 5);
    EXPECT_FALSE(tools::BuildGameStrings(Source(lines), "ENG", out, error));
    EXPECT_EQ(error, "strings.txt: entry 5 is missing");

    lines = CompleteGameStrings();
    lines[0] = "0 " + std::string(255, 'x');
    EXPECT_FALSE(tools::BuildGameStrings(Source(lines), "ENG", out, error));
    EXPECT_NE(error.find("at most 254"), std::string::npos);

    lines = CompleteGameStrings();
    lines[1] = "1 \xE2\x82\xAC and \xEA\xB0\x80";  // the euro sign fits CP1252, Hangul does not
    EXPECT_FALSE(tools::BuildGameStrings(Source(lines), "ENG", out, error));
    EXPECT_NE(error.find("strings.txt:4: byte 8"), std::string::npos) << error;
}

TEST(GameStrings, KoreanIsStoredInItsCodePage) {
    std::vector<std::string> lines = CompleteGameStrings();
    lines[0] = "0 \xEA\xB0\x80";  // U+AC00, 0xB0A1 in CP949
    std::string out;
    std::string error;
    ASSERT_TRUE(tools::BuildGameStrings(Source(lines), "KOR", out, error)) << error;
    EXPECT_EQ(out.substr(0, 8), "0000 \xB0\xA1\n");
}

TEST(QuickChat, EightLinesOfAtMost48Bytes) {
    std::vector<std::string> lines(8, "Nice shot!");
    std::string out;
    std::string error;
    ASSERT_TRUE(tools::BuildQuickChat(Source(lines), "ENG", out, error)) << error;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 8);

    lines[7] = std::string(25, 'x') +
               "\xEA\xB0\x80\xEA\xB0\x80\xEA\xB0\x80\xEA\xB0\x80\xEA\xB0\x80\xEA\xB0\x80"
               "\xEA\xB0\x80\xEA\xB0\x80\xEA\xB0\x80\xEA\xB0\x80\xEA\xB0\x80\xEA\xB0\x80";
    EXPECT_FALSE(tools::BuildQuickChat(Source(lines), "KOR", out, error));  // 25 + 24 bytes
    EXPECT_EQ(error, "strings.txt:10: the line is 49 bytes long; at most 48 fit");
    lines.pop_back();
    EXPECT_FALSE(tools::BuildQuickChat(Source(lines), "ENG", out, error));
}

TEST(WordListSource, OnlyWhatTheFilterCanMatch) {
    std::vector<uint8_t> out;
    std::string error;
    EXPECT_TRUE(tools::BuildWordList(Source({"abc", "d@e"}), out, error)) << error;
    EXPECT_FALSE(tools::BuildWordList(Source({"abc", "Bad"}), out, error));
    EXPECT_EQ(error.substr(0, 15), "strings.txt:4: ");
    EXPECT_FALSE(tools::BuildWordList(Source({"two words"}), out, error));
    EXPECT_FALSE(tools::BuildWordList(Source({}), out, error));
}

TEST(UpdaterStrings, EveryLineWithTwoDigitIndicesAndTheServerLinesOptional) {
    std::vector<std::string> lines;
    for (int i = 0; i < 15; ++i) {
        lines.push_back((i < 10 ? "0" : "") + std::to_string(i) + " line");
    }
    std::string out;
    std::string error;
    ASSERT_TRUE(tools::BuildUpdaterStrings(Source(lines), "JPN", out, error)) << error;
    EXPECT_EQ(out.substr(0, 8), "00 line\n");
    // Without the server lines: written empty, so the table keeps every index.
    std::vector<std::string> noServer(lines.begin() + 2, lines.end());
    ASSERT_TRUE(tools::BuildUpdaterStrings(Source(noServer), "JPN", out, error)) << error;
    EXPECT_EQ(out.substr(0, 16), "00 \n01 \n02 line\n");
    lines.pop_back();
    EXPECT_FALSE(tools::BuildUpdaterStrings(Source(lines), "JPN", out, error));
}

}  // namespace
