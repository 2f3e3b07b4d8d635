#include "tools/toolkit/data_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "game/shell/launch/launch_files.h"
#include "game/shell/launch/word_filter.h"
#include "tools/toolkit/output_file.h"
#include "tools/toolkit/png_file.h"
#include "tools/toolkit/svg_render.h"

namespace {

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

TEST(WordList, TheGamesReaderGetsTheWordsBackWithAMatchingCheckValue) {
    const std::vector<std::string> words = {"alpha", "bravo",   "charlie", "d@lta",
                                            "echo",  "foxtrot", "golf",    "hotel"};
    const std::vector<uint8_t> bytes = tools::EncodeWordList(words);
    ASSERT_GE(bytes.size(), 12u);
    EXPECT_EQ(std::memcmp(bytes.data(), "FNST", 4), 0);
    EXPECT_EQ(U32At(bytes, 8), words.size());
    shell::WordList list;
    EXPECT_EQ(shell::ParseWordList(bytes, list), shell::WordListStatus::kLoaded);
    EXPECT_EQ(list.words, words);
    EXPECT_TRUE(shell::IsTextBlocked(list, "C h a r l i e!", false));
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
    shell::SwingTiming timing;
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

    shell::SwingTiming read;
    ASSERT_TRUE(shell::ParseSwingTiming(bytes, read));
    EXPECT_EQ(std::memcmp(&read, &timing, sizeof read), 0);
}

TEST(HoleSettings, FieldsStandAtTheirOffsets) {
    shell::HoleSettings hole;
    std::snprintf(hole.name, sizeof hole.name, "%s", "A very long name");
    hole.length = 0x1234;
    hole.tee[0] = 1.5f;
    hole.defaultAim[1] = 250.25f;
    hole.pin[1] = -2.0f;
    hole.par = 5;
    const std::vector<uint8_t> bytes = tools::EncodeHoleSettings(hole);
    ASSERT_EQ(bytes.size(), tools::kHoleSettingsSize);
    EXPECT_EQ(std::memcmp(bytes.data(), "FNH\0", 4), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[4])), "A very long name");
    EXPECT_EQ(bytes[21], 0x34);
    EXPECT_EQ(bytes[22], 0x12);
    EXPECT_EQ(U32At(bytes, 23), 0x3FC00000u);  // 1.5
    EXPECT_EQ(U32At(bytes, 43), 0xC0000000u);  // -2.0
    EXPECT_EQ(bytes[55], 5);

    shell::HoleSettings read;
    ASSERT_TRUE(shell::ParseHoleSettings(bytes, read));
    EXPECT_STREQ(read.name, "A very long name");
    EXPECT_EQ(read.length, 0x1234);
    EXPECT_EQ(read.tee[0], 1.5f);
    EXPECT_EQ(read.defaultAim[1], 250.25f);
    EXPECT_EQ(read.pin[1], -2.0f);
    EXPECT_EQ(read.par, 5);
}

}  // namespace

namespace {

TEST(OutputFiles, BrokenInputIsReportedAndAFailedWriteLeavesNothing) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(testing::TempDir()) / "tool_output";
    fs::remove_all(root);
    fs::create_directories(root);
    std::ofstream(root / "broken.png") << "not a picture";
    tools::RgbaImage image;
    std::string error;
    EXPECT_FALSE(tools::ReadPng((root / "broken.png").string(), image, error));
    EXPECT_NE(error.find("broken.png"), std::string::npos);
    EXPECT_FALSE(tools::RenderSvg((root / "missing.svg").string(), 0, 0, image, error));

    // A folder stands where the file should go: the write fails and leaves no partial file.
    fs::create_directories(root / "taken");
    EXPECT_FALSE(tools::WriteFileAtomically((root / "taken").string(), {1, 2, 3}, error));
    EXPECT_FALSE(fs::exists(root / "taken.partial"));
    EXPECT_TRUE(tools::WriteFileAtomically((root / "new" / "file.bin").string(), {1, 2, 3}, error));
    EXPECT_EQ(fs::file_size(root / "new" / "file.bin"), 3u);
    fs::remove_all(root);
}

}  // namespace
