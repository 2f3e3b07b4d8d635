#include "tools/toolkit/data_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// Decodes a word list the way the chat filter's loader does.
std::vector<std::string> DecodeWordList(const std::vector<uint8_t>& bytes, bool& checkMatches) {
    std::vector<std::string> words;
    uint8_t check[4] = {0, 0, 0, 0};
    size_t at = 12;
    for (size_t count = 0; at < bytes.size(); ++count) {
        const int length = bytes[at];
        const int key = bytes[at + 1];
        std::string text;
        for (int i = 0; i < length; ++i) {
            const uint8_t b = bytes[at + 2 + i];
            text += static_cast<char>(((b << key) | (b >> (8 - key))) & 0xFF);
        }
        for (int i = 0; i < length + 2; ++i) {
            check[(at - 12 + i) % 4] ^= bytes[at + i];
        }
        at += 2 + length;
        words.push_back(text.substr(0, text.size() - 1));  // the reader drops the last character
    }
    checkMatches = std::memcmp(check, &bytes[4], 4) == 0;
    return words;
}

TEST(WordList, WordsComeBackThroughTheReadersRotationAndTheCheckValueMatches) {
    const std::vector<std::string> words = {"alpha", "bravo",   "charlie", "d@lta",
                                            "echo",  "foxtrot", "golf",    "hotel"};
    const std::vector<uint8_t> bytes = tools::EncodeWordList(words);
    ASSERT_GE(bytes.size(), 12u);
    EXPECT_EQ(std::memcmp(bytes.data(), "FNST", 4), 0);
    EXPECT_EQ(U32At(bytes, 8), words.size());
    bool checkMatches = false;
    EXPECT_EQ(DecodeWordList(bytes, checkMatches), words);
    EXPECT_TRUE(checkMatches);
    // The words do not stand in the file as plain text.
    EXPECT_EQ(std::search(bytes.begin(), bytes.end(), words[2].begin(), words[2].end()), bytes.end());
}

TEST(WordList, FirstRecordIsByteBuilt) {
    // "ab": stored as "ab\n", length 3, key 1, each byte rotated right by 1.
    const std::vector<uint8_t> bytes = tools::EncodeWordList({"ab"});
    const std::vector<uint8_t> record = {3, 1, 0xB0, 0x31, 0x05};
    ASSERT_EQ(bytes.size(), 12u + record.size());
    EXPECT_TRUE(std::equal(record.begin(), record.end(), bytes.begin() + 12));
    const uint8_t check[4] = {3 ^ 0x05, 1, 0xB0, 0x31};
    EXPECT_EQ(std::memcmp(&bytes[4], check, 4), 0);
}

TEST(GameInfo, HeaderAndEveryFrameCountRecord) {
    tools::SwingTiming timing;
    timing.steps[1][7][4] = 42;
    timing.steps[0][0][0] = 15;
    const std::vector<uint8_t> bytes = tools::EncodeGameInfo(timing);
    ASSERT_EQ(bytes.size(), 28u + 80u * 64u);
    EXPECT_EQ(std::memcmp(bytes.data(), "LARKSPUR GAME INFO\r\n\0", 21), 0);
    const size_t first = 28;
    EXPECT_EQ(std::memcmp(&bytes[first], "FRAMECNT\0\0\0\0\0\0\0\0", 16), 0);
    EXPECT_EQ(U32At(bytes, first + 28), 15u);
    const size_t last = 28 + 79 * 64;
    EXPECT_EQ(U32At(bytes, last + 16), 1u);
    EXPECT_EQ(U32At(bytes, last + 20), 7u);
    EXPECT_EQ(U32At(bytes, last + 24), 4u);
    EXPECT_EQ(U32At(bytes, last + 28), 42u);
}

TEST(HoleSettings, FieldsStandAtTheirOffsets) {
    tools::HoleSettingsFile hole;
    hole.name = "A very long hole name";  // cut to 16 characters
    hole.length = 0x1234;
    hole.teeX = 1.5f;
    hole.pinZ = -2.0f;
    hole.par = 5;
    const std::vector<uint8_t> bytes = tools::EncodeHoleSettings(hole);
    ASSERT_EQ(bytes.size(), tools::kHoleSettingsSize);
    EXPECT_EQ(std::memcmp(bytes.data(), "FNH\0", 4), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[4])), "A very long hole");
    EXPECT_EQ(bytes[21], 0x34);
    EXPECT_EQ(bytes[22], 0x12);
    EXPECT_EQ(U32At(bytes, 23), 0x3FC00000u);  // 1.5
    EXPECT_EQ(U32At(bytes, 43), 0xC0000000u);  // -2.0
    EXPECT_EQ(bytes[55], 5);
}

}  // namespace
