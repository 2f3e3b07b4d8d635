#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "game/shell/launch/launch_files.h"

namespace {

void PutI32(std::vector<uint8_t>& b, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
    }
}

void PutF32(std::vector<uint8_t>& b, size_t at, float f) {
    int32_t v;
    std::memcpy(&v, &f, 4);
    PutI32(b, at, v);
}

std::vector<uint8_t> SwingHeader() {
    std::vector<uint8_t> b(28, 0xEE);
    std::memcpy(b.data(), "LARKSPUR GAME INFO\r\n", 21);
    return b;
}

void AddRecord(std::vector<uint8_t>& b, const char* key, int32_t sex, int32_t type, int32_t kind,
               int32_t steps) {
    size_t at = b.size();
    b.resize(at + 64, 0xCC);
    std::memset(b.data() + at, 0, 16);
    std::memcpy(b.data() + at, key, std::strlen(key));
    PutI32(b, at + 16, sex);
    PutI32(b, at + 20, type);
    PutI32(b, at + 24, kind);
    PutI32(b, at + 28, steps);
}

TEST(SwingTiming, StoresFrameCountRecordsInsideTheTable) {
    std::vector<uint8_t> b = SwingHeader();
    AddRecord(b, "FRAMECNT", 1, 7, 4, 23);
    AddRecord(b, "FRAMECNT", 0, 2, 1, 11);
    AddRecord(b, "OTHER", 0, 0, 0, 99);
    AddRecord(b, "FRAMECNTX", 0, 0, 0, 98);
    AddRecord(b, "FRAMECNT", 2, 0, 0, 97);
    AddRecord(b, "FRAMECNT", 0, 8, 0, 96);
    AddRecord(b, "FRAMECNT", 0, 0, -1, 95);
    AddRecord(b, "FRAMECNT", 0, 0, 0, 94);
    b.resize(b.size() - 1);  // the last record is cut short and not read
    shell::SwingTiming t;
    ASSERT_TRUE(shell::ParseSwingTiming(b, t));
    EXPECT_EQ(t.steps[1][7][4], 23);
    EXPECT_EQ(t.steps[0][2][1], 11);
    EXPECT_EQ(t.steps[0][0][0], 0);
    EXPECT_EQ(shell::SwingSteps(t, 1, 7, 4), 23);
    EXPECT_EQ(shell::SwingSteps(t, 2, 0, 0), 0);
    EXPECT_EQ(shell::SwingSteps(t, 0, -1, 0), 0);
    EXPECT_EQ(shell::SwingSteps(t, 0, 0, 5), 0);
}

TEST(SwingTiming, WrongHeaderReadsNothing) {
    std::vector<uint8_t> b = SwingHeader();
    b[20] = 'x';  // the NUL after the line end is part of the header
    AddRecord(b, "FRAMECNT", 0, 0, 0, 5);
    shell::SwingTiming t;
    EXPECT_FALSE(shell::ParseSwingTiming(b, t));
    EXPECT_EQ(t.steps[0][0][0], 0);
    std::vector<uint8_t> shortHeader = SwingHeader();
    shortHeader.resize(27);
    EXPECT_FALSE(shell::ParseSwingTiming(shortHeader, t));
}

std::vector<uint8_t> HoleFile() {
    std::vector<uint8_t> b(58, 0xAB);
    std::memcpy(b.data(), "FNH", 4);
    std::memset(b.data() + 4, 0, 17);
    std::memcpy(b.data() + 4, "Lakeside 3", 10);
    b[21] = 0x7C;  // 380
    b[22] = 0x01;
    PutF32(b, 23, 1.5f);
    PutF32(b, 27, -20.0f);
    PutF32(b, 31, 3.0f);
    PutF32(b, 35, 150.25f);
    PutF32(b, 39, -4.0f);
    PutF32(b, 43, 360.0f);
    b[55] = 4;
    return b;
}

TEST(HoleSettings, ReadsTheFixedLayout) {
    shell::HoleSettings h;
    ASSERT_TRUE(shell::ParseHoleSettings(HoleFile(), h));
    EXPECT_STREQ(h.name, "Lakeside 3");
    EXPECT_EQ(h.length, 380);
    EXPECT_STREQ(h.lengthText, "380");
    EXPECT_FLOAT_EQ(h.lengthYards, 380.0f);
    EXPECT_FLOAT_EQ(h.tee[0], 1.5f);
    EXPECT_FLOAT_EQ(h.tee[1], -20.0f);
    EXPECT_FLOAT_EQ(h.defaultAim[1], 150.25f);
    EXPECT_FLOAT_EQ(h.pin[0], -4.0f);
    EXPECT_FLOAT_EQ(h.pin[1], 360.0f);
    EXPECT_EQ(h.par, 4);
}

TEST(HoleSettings, RefusesWrongOrShortFilesAndKeepsThePreviousHole) {
    shell::HoleSettings h;
    ASSERT_TRUE(shell::ParseHoleSettings(HoleFile(), h));
    std::vector<uint8_t> wrong = HoleFile();
    wrong[3] = ' ';
    EXPECT_FALSE(shell::ParseHoleSettings(wrong, h));
    std::vector<uint8_t> shortFile = HoleFile();
    shortFile.resize(57);
    EXPECT_FALSE(shell::ParseHoleSettings(shortFile, h));
    EXPECT_EQ(h.par, 4);
    // A name that fills its 17 bytes without a NUL is kept whole and still terminated.
    std::vector<uint8_t> longName = HoleFile();
    std::memset(longName.data() + 4, 'N', 17);
    ASSERT_TRUE(shell::ParseHoleSettings(longName, h));
    EXPECT_EQ(std::string(h.name), std::string(17, 'N'));
}

TEST(HoleSettings, CourseSixChoosesABackgroundLoopPerHole) {
    EXPECT_STREQ(shell::HoleBackgroundSound(6, 0), "Sound/SBack00.wav");
    EXPECT_STREQ(shell::HoleBackgroundSound(6, 1), "Sound/Back.wav");
    EXPECT_STREQ(shell::HoleBackgroundSound(6, 3), "Sound/Back.wav");
    EXPECT_STREQ(shell::HoleBackgroundSound(6, 5), "Sound/SBack05.wav");
    EXPECT_EQ(shell::HoleBackgroundSound(6, 6), nullptr);
    EXPECT_EQ(shell::HoleBackgroundSound(5, 0), nullptr);
}

}  // namespace
