#include "platform/font_metrics.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/font_lookup.h"

namespace {

using platform::FontCellMetrics;
using platform::ParseFontCellMetrics;

void PutU16(std::vector<uint8_t>& b, size_t at, int v) {
    b[at] = static_cast<uint8_t>(v >> 8);
    b[at + 1] = static_cast<uint8_t>(v);
}

void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    PutU16(b, at, static_cast<int>(v >> 16));
    PutU16(b, at + 2, static_cast<int>(v & 0xFFFF));
}

// A font with just a "head" and an "OS/2" table, its directory at dirAt inside a file of the given
// size.
std::vector<uint8_t> TinyFont(size_t dirAt = 0, size_t extra = 0) {
    size_t head = dirAt + 12 + 2 * 16;
    size_t os2 = head + 54;
    std::vector<uint8_t> b(os2 + 96 + extra, 0);
    PutU16(b, dirAt + 4, 2);
    std::copy_n("head", 4, b.begin() + static_cast<long>(dirAt + 12));
    PutU32(b, dirAt + 12 + 8, static_cast<uint32_t>(head));
    std::copy_n("OS/2", 4, b.begin() + static_cast<long>(dirAt + 28));
    PutU32(b, dirAt + 28 + 8, static_cast<uint32_t>(os2));
    PutU16(b, head + 18, 2048);
    PutU16(b, os2 + 74, 1854);
    PutU16(b, os2 + 76, 434);
    return b;
}

TEST(FontMetrics, ReadsEmAndWindowsAscentDescent) {
    std::vector<uint8_t> font = TinyFont();
    FontCellMetrics m;
    ASSERT_TRUE(ParseFontCellMetrics(font.data(), font.size(), 0, m));
    EXPECT_EQ(m.unitsPerEm, 2048);
    EXPECT_EQ(m.winAscent, 1854);
    EXPECT_EQ(m.winDescent, 434);
    EXPECT_FALSE(ParseFontCellMetrics(font.data(), font.size(), 1, m));
}

TEST(FontMetrics, ReadsTheChosenFaceOfACollection) {
    std::vector<uint8_t> font = TinyFont(16);
    std::copy_n("ttcf", 4, font.begin());
    PutU32(font, 8, 1);
    PutU32(font, 12, 16);
    FontCellMetrics m;
    ASSERT_TRUE(ParseFontCellMetrics(font.data(), font.size(), 0, m));
    EXPECT_EQ(m.unitsPerEm, 2048);
    EXPECT_FALSE(ParseFontCellMetrics(font.data(), font.size(), 1, m));
}

TEST(FontMetrics, RefusesCutOrForeignBytes) {
    std::vector<uint8_t> font = TinyFont();
    FontCellMetrics m;
    for (size_t size = 0; size < font.size() - 20; size += 7) {
        EXPECT_FALSE(ParseFontCellMetrics(font.data(), size, 0, m)) << size;
    }
    std::vector<uint8_t> wild = font;
    PutU32(wild, 12 + 8, 0xFFFFFFF0u);  // head table far beyond the end
    EXPECT_FALSE(ParseFontCellMetrics(wild.data(), wild.size(), 0, m));
    std::vector<uint8_t> collection(16, 0);
    std::copy_n("ttcf", 4, collection.begin());
    PutU32(collection, 8, 0x40000000u);
    EXPECT_FALSE(ParseFontCellMetrics(collection.data(), collection.size(), 5, m));
}

TEST(FontMetrics, WeightedAverageOfAMonospaceDesignIsItsAdvance) {
    EXPECT_DOUBLE_EQ(platform::WeightedAverageWidth([](char) { return 1229; }), 1229.0);
}

TEST(FontLookup, WindowsFacesHaveStandIns) {
    EXPECT_STREQ(platform::StandInFamily("Arial"), "Liberation Sans");
    EXPECT_STREQ(platform::StandInFamily("arial"), "Liberation Sans");
    EXPECT_STREQ(platform::StandInFamily("Courier New"), "Liberation Mono");
    EXPECT_STREQ(platform::StandInFamily("MS Gothic"), "IPAGothic");
    EXPECT_NE(platform::StandInFamily("\xB1\xBC\xB8\xB2\xC3\xBC"), nullptr);
    EXPECT_EQ(platform::StandInFamily("Arial Black"), nullptr);
    EXPECT_EQ(platform::StandInFamily(""), nullptr);
}

TEST(FontLookup, StandInFamiliesAreInstalled) {
    const char* expected[][2] = {{"Arial", "LiberationSans"},
                                 {"Courier New", "LiberationMono"},
                                 {"MS Gothic", "ipag"},
                                 {"\xB1\xBC\xB8\xB2\xC3\xBC", "Nanum"}};
    for (auto& [face, file] : expected) {
        std::string path =
            std::filesystem::canonical(platform::FindFontFile(platform::StandInFamily(face), false).path);
        EXPECT_NE(path.find(file), std::string::npos) << path;
    }
    EXPECT_TRUE(platform::FindFontFile("Liberation Sans", true).hasBoldFace);
}

}  // namespace
