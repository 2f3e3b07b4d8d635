// The data set the build makes, read back through the game's own readers.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/present/fni_image.h"
#include "game/shell/launch/game_strings.h"
#include "game/shell/launch/launch_files.h"
#include "game/shell/launch/word_filter.h"
#include "platform/png_file.h"

namespace {

namespace fs = std::filesystem;

const fs::path kData = BRIGHTLEA_GAMEDATA_DIR;

std::vector<uint8_t> Bytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

class BundledData : public testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(kData / "Option.ini")) {
            GTEST_SKIP() << "no data set built in " << kData;
        }
    }
};

TEST_F(BundledData, EveryLanguageHasItsTextsInFull) {
    for (const char* language : {"ENG", "KOR", "JPN"}) {
        SCOPED_TRACE(language);
        shell::GameStrings strings;
        shell::ParseGameStrings(Bytes(kData / "Image" / language / "GameString.ini"), strings);
        for (int i = 0; i < shell::kGameStringCount; ++i) {
            if (i != 19 && i != 25) {
                EXPECT_GT(std::strlen(strings.text[i]), 2u) << "entry " << i;
            }
        }
        EXPECT_NE(std::string(strings.text[14]).find("{id}"), std::string::npos);

        shell::QuickChat chat;
        shell::ParseQuickChat(Bytes(kData / "Info" / language / "ChatMessage.ini"), chat);
        for (const auto& line : chat.text) {
            EXPECT_GT(std::strlen(line), 2u);
        }

        shell::WordList words;
        EXPECT_EQ(shell::ParseWordList(Bytes(kData / "Info" / language / "Abuse.fns"), words),
                  shell::WordListStatus::kLoaded);
        EXPECT_GE(words.words.size(), 10u);
        // Ordinary golf talk passes the filter.
        EXPECT_FALSE(shell::IsTextBlocked(words, "Nice shot! Push it past the bunker, class act", false));

        shell::SwingTiming timing;
        ASSERT_TRUE(shell::ParseSwingTiming(Bytes(kData / "Info" / language / "GameInfo.ini"), timing));
        for (int sex = 0; sex < shell::kSwingSexes; ++sex) {
            for (int type = 0; type < shell::kSwingCharacterTypes; ++type) {
                for (int kind = 0; kind < shell::kSwingKinds; ++kind) {
                    EXPECT_GT(timing.steps[sex][type][kind], 0);
                }
            }
        }
    }
}

TEST_F(BundledData, PicturesHaveTheSizesTheScreensUse) {
    struct Expected {
        std::string path;
        int width;
        int height;
    };
    const Expected pictures[] = {{"Image/Main_start.fni", 800, 600}, {"Image/Main_00.fni", 800, 600},
                                 {"Sky/Sky00.fni", 800, 450},        {"Image/Mouse00.fni", 32, 32},
                                 {"Nature/T998.fni", 128, 128},      {"Texture/Green.fni", 256, 256}};
    for (const Expected& e : pictures) {
        present::FniImage image;
        ASSERT_EQ(present::LoadFni(image, (kData / e.path).string().c_str(), false), 0) << e.path;
        EXPECT_EQ(image.width, e.width) << e.path;
        EXPECT_EQ(image.height, e.height) << e.path;
        present::FreeFni(image);
    }
}

TEST_F(BundledData, TheWindowIconIsDrawnOnATransparentGround) {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    ASSERT_EQ(platform::ReadPngArgb((kData / "Image/Icon.png").string().c_str(), width, height, pixels), 0);
    ASSERT_EQ(width, 64);
    ASSERT_EQ(height, 64);
    EXPECT_EQ(pixels[0] >> 24, 0u);                // the corner shows the desktop
    EXPECT_EQ(pixels[32 * 64 + 32] >> 24, 0xFFu);  // the middle is drawn
}

struct CourseTotals {
    int holes = 0;
    int par = 0;
    int par3 = 0;
    int par5 = 0;
};

CourseTotals ReadCourse(int course, int holes) {
    CourseTotals totals;
    for (int hole = 1; hole <= holes; ++hole) {
        char folder[32];
        std::snprintf(folder, sizeof folder, "Map/Club_%02d/Hole_%02d", course, hole);
        shell::HoleSettings settings;
        EXPECT_TRUE(shell::ParseHoleSettings(Bytes(kData / folder / "Hole.ini"), settings)) << folder;
        ++totals.holes;
        totals.par += settings.par;
        totals.par3 += settings.par == 3;
        totals.par5 += settings.par == 5;
        EXPECT_GT(settings.length, settings.par == 3 ? 120 : 270) << folder;
    }
    return totals;
}

TEST_F(BundledData, TwoCoursesOfEighteenAndNineHoles) {
    const CourseTotals parkland = ReadCourse(1, 18);
    EXPECT_EQ(parkland.par, 72);
    EXPECT_EQ(parkland.par3, 4);
    EXPECT_EQ(parkland.par5, 4);
    EXPECT_FALSE(fs::exists(kData / "Map/Club_01/Hole_19"));
    const CourseTotals links = ReadCourse(2, 9);
    EXPECT_EQ(links.par, 36);
    EXPECT_EQ(links.par3, 2);
    EXPECT_EQ(links.par5, 2);
}

}  // namespace
