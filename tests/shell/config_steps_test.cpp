#include "game/shell/steps/config_steps.h"
#include "game/shell/view/hole_scene.h"

#include <gtest/gtest.h>

#include <cstring>

#include "game/shell/client.h"
#include "tests/shell/game_directory.h"

namespace {

using shell::Client;

TEST_F(GameDirectory, StartUpEndsWithoutAMatchAndGoesOnAfterLaterErrors) {
    auto client = std::make_unique<Client>();
    ::testing::internal::CaptureStderr();
    EXPECT_LT(shell::ReadLaunchConfig(*client), 0);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("Option.ini"), std::string::npos);

    WriteAll();
    fs::remove("Info/ENG/ChatMessage.ini");
    auto second = std::make_unique<Client>();
    second->shell.windowed = true;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(shell::ReadLaunchConfig(*second), 0);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("Error: "), std::string::npos);
    EXPECT_EQ(second->config.match.courseCode, 6);
    EXPECT_STREQ(second->lobby.localName, "Ann Lee");

    Write("Info/ENG/Start.ini", "MYOBSERVER 1\r\nOBSERVERID watcher\r\nMYNO 7\r\n");
    auto observer = std::make_unique<Client>();
    observer->shell.windowed = true;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(shell::ReadLaunchConfig(*observer), 0);
    ::testing::internal::GetCapturedStderr();
    EXPECT_STREQ(observer->lobby.localName, "watcher");
}

TEST_F(GameDirectory, ALowerCaseLanguageFindsTheUpperCaseFoldersAndTheDisplayGetsItsOption) {
    WriteAll();
    Write("Option.ini", "LANGUAGE eng\r\nACC3DOPT 0\r\n");
    auto client = std::make_unique<Client>();
    client->shell.windowed = true;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(shell::ReadLaunchConfig(*client), 0);
    ::testing::internal::GetCapturedStderr();
    EXPECT_STREQ(client->config.options.language, "ENG");
    EXPECT_EQ(client->config.match.courseCode, 6);  // read from Info/ENG/Start.ini
    EXPECT_EQ(client->display.useHardware3D, 0);
}

TEST_F(GameDirectory, LanguageChoosesFacesCodePageAndInput) {
    struct Case {
        const char* language;
        const char* hudFace;
        platform::CodePage codePage;
        bool japaneseInput;
        const char* fixedFace;
    };
    const Case cases[] = {
        {"KOR", "\xB1\xBC\xB8\xB2\xC3\xBC", platform::CodePage::Korean949, false, ""},
        {"jpn", "MS Gothic", platform::CodePage::Japanese932, true, ""},
        {"ENG", "Arial", platform::CodePage::Western1252, false, "Courier New"},
        {"Kor", "Arial", platform::CodePage::Western1252, false, ""},  // only upper or lower case count
    };
    for (const Case& c : cases) {
        auto client = std::make_unique<Client>();
        std::strcpy(client->config.options.language, c.language);
        shell::SetUpLanguageInput(*client);
        EXPECT_STREQ(client->config.hudFace, c.hudFace) << c.language;
        EXPECT_EQ(client->text.codePage, c.codePage) << c.language;
        EXPECT_EQ(client->shell.japaneseInput, c.japaneseInput) << c.language;
        EXPECT_STREQ(client->config.fixedFace, c.fixedFace) << c.language;
    }
}

TEST_F(GameDirectory, HoleSettingsOfCourseSixChooseTheBackgroundLoop) {
    auto client = std::make_unique<Client>();
    client->config.match.courseCode = 6;
    client->config.match.startHole = 2;
    client->match.currentHole = 2;
    std::string hole = std::string("FNH\0Two", 7) + std::string(51, '\0');
    hole[55] = 3;
    Write("Map/Club_06/Hole_02/Hole.ini", hole);
    shell::LoadHoleSettings(*client);
    EXPECT_STREQ(client->config.hole.name, "Two");
    EXPECT_STREQ(client->config.backgroundLoop, "Sound/SBack02.wav");
    client->match.currentHole = 7;  // a hole without a loop of its own keeps the one there is
    shell::LoadHoleSettings(*client);
    EXPECT_STREQ(client->config.backgroundLoop, "Sound/SBack02.wav");
    EXPECT_STREQ(client->config.hole.name, "Two");  // no file for hole 7: the settings stay
}

}  // namespace
