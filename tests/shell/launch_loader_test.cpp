#include "game/shell/launch/launch_loader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/shell/launch/language.h"
#include "tests/shell/game_directory.h"

namespace {

using shell::LaunchConfig;
using shell::LaunchStatus;

TEST_F(GameDirectory, ReadsEverythingAndDeletesTheMatchFileInFullScreen) {
    WriteAll();
    LaunchConfig config;
    EXPECT_EQ(shell::LoadLaunchConfig(config, false, box_), LaunchStatus::kComplete);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_STREQ(config.options.language, "ENG");
    EXPECT_EQ(config.options.hardware3D, 0);
    EXPECT_EQ(config.match.courseCode, 6);
    EXPECT_STREQ(config.players[0].name, "Ann Lee");
    EXPECT_STREQ(config.strings.text[39], "Blocked");
    EXPECT_STREQ(config.quickChat.text[1], "Good luck");
    EXPECT_EQ(config.teamLastShooter[0], 1);
    EXPECT_EQ(config.teamLastShooter[1], 3);
    EXPECT_FALSE(fs::exists("Info/ENG/Start.ini"));
}

TEST_F(GameDirectory, WindowedModeKeepsTheMatchFile) {
    WriteAll();
    LaunchConfig config;
    EXPECT_EQ(shell::LoadLaunchConfig(config, true, box_), LaunchStatus::kComplete);
    EXPECT_TRUE(fs::exists("Info/ENG/Start.ini"));
}

TEST_F(GameDirectory, WithoutOptionFileNothingIsReadAndStartUpEnds) {
    WriteAll();
    fs::remove("Option.ini");
    LaunchConfig config;
    EXPECT_FALSE(shell::ReadLaunchConfiguration(config, false, box_));
    EXPECT_TRUE(boxes_.empty());
    EXPECT_STREQ(config.options.language, "");
    EXPECT_EQ(config.match.courseCode, 0);
    EXPECT_TRUE(fs::exists("Info/ENG/Start.ini"));
}

TEST_F(GameDirectory, MissingMatchFileIsReportedInAReadableBoxAndStartUpEnds) {
    WriteAll();
    fs::remove("Info/ENG/Start.ini");
    LaunchConfig config;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(shell::ReadLaunchConfiguration(config, false, box_));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("Info/ENG/Start.ini"), std::string::npos);
    ASSERT_EQ(boxes_.size(), 1u);
    // The game strings are not read yet, so the box names the file instead of staying empty.
    EXPECT_NE(boxes_[0].find("Info/ENG/Start.ini"), std::string::npos);
}

TEST_F(GameDirectory, LaterFailuresAreReportedAndTheMatchGoesOn) {
    WriteAll();
    fs::remove("Info/ENG/Abuse.fns");
    LaunchConfig config;
    EXPECT_EQ(shell::LoadLaunchConfig(config, false, box_), LaunchStatus::kIncomplete);
    EXPECT_EQ(boxes_, std::vector<std::string>{"No word list"});
    EXPECT_TRUE(fs::exists("Info/ENG/Start.ini"));  // only a complete read deletes it
    EXPECT_TRUE(shell::ReadLaunchConfiguration(config, false, box_));

    Write("Info/ENG/Abuse.fns", "FNSX and more bytes");
    boxes_.clear();
    LaunchConfig bad;
    EXPECT_EQ(shell::LoadLaunchConfig(bad, true, box_), LaunchStatus::kIncomplete);
    EXPECT_EQ(boxes_, std::vector<std::string>{"Bad word list"});

    Write("Info/ENG/Abuse.fns", std::string("FNST\1\0\0\0\0\0\0\0", 12));
    boxes_.clear();
    LaunchConfig damaged;
    EXPECT_EQ(shell::LoadLaunchConfig(damaged, true, box_), LaunchStatus::kComplete);
    EXPECT_EQ(boxes_, std::vector<std::string>{"Damaged word list"});

    fs::remove("Image/ENG/GameString.ini");
    boxes_.clear();
    LaunchConfig noTexts;
    EXPECT_EQ(shell::LoadLaunchConfig(noTexts, true, box_), LaunchStatus::kIncomplete);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_NE(boxes_[0].find("GameString.ini"), std::string::npos);
    EXPECT_EQ(noTexts.quickChat.text[0][0], '\0');  // nothing after the failure is read
}

TEST_F(GameDirectory, PerHoleAndPerMatchFiles) {
    WriteAll();
    LaunchConfig config;
    shell::LoadLaunchConfig(config, true, box_);
    EXPECT_EQ(shell::LoadSwingTiming(config), shell::kLoadFailed);
    std::string swing = std::string("LARKSPUR GAME INFO\r\n\0\0\0\0\0\0\0\0", 28) +
                        std::string("FRAMECNT\0\0\0\0\0\0\0\0", 16) +
                        std::string("\1\0\0\0\2\0\0\0\3\0\0\0\x11\0\0\0", 16) + std::string(32, '\0');
    Write("Info/ENG/GameInfo.ini", swing);
    EXPECT_EQ(shell::LoadSwingTiming(config), 0);
    EXPECT_EQ(config.swingTiming.steps[1][2][3], 17);

    EXPECT_EQ(shell::LoadHoleSettings(config, 2), 1);
    std::string hole = std::string("FNH\0Second", 10) + std::string(48, '\0');
    hole[55] = 5;
    Write("Map/Club_06/Hole_02/Hole.ini", hole);
    EXPECT_EQ(shell::LoadHoleSettings(config, 2), 0);
    EXPECT_STREQ(config.hole.name, "Second");
    EXPECT_EQ(config.parByHole[2], 5);

    EXPECT_EQ(shell::CountSkyPictures(), 0);
    for (const char* name :
         {"Sky/Sky01.fni", "Sky/sky02.FNI", "Sky/sky.fni", "Sky/cloud.fni", "Sky/sky03.png"}) {
        Write(name, "x");
    }
    EXPECT_EQ(shell::CountSkyPictures(), 3);
}

TEST(Language, UpperOrLowerCaseOnly) {
    EXPECT_TRUE(shell::IsLanguage("kor", "KOR"));
    EXPECT_TRUE(shell::IsLanguage("KOR", "KOR"));
    EXPECT_FALSE(shell::IsLanguage("Kor", "KOR"));
    EXPECT_FALSE(shell::IsLanguage("KORE", "KOR"));
    EXPECT_TRUE(shell::UsesDoubleByteText("jpn"));
    EXPECT_FALSE(shell::UsesDoubleByteText("ENG"));
    EXPECT_STREQ(shell::HudFaceForLanguage("JPN"), "MS Gothic");
    EXPECT_STREQ(shell::HudFaceForLanguage("eng"), "Arial");
    EXPECT_EQ(shell::HudFaceForLanguage("Eng"), nullptr);
}

}  // namespace

namespace {

TEST(PlayerErrorBox, ShowsTheLanguagesTextAsUtf8) {
    shell::LaunchConfig config;
    shell::ErrorBox box = shell::PlayerErrorBox(config);
    std::strcpy(config.options.language, "KOR");  // the box reads the language when it is shown
    ::testing::internal::CaptureStderr();
    box("\xB0\xA1");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: \xEA\xB0\x80\n");
}

}  // namespace
