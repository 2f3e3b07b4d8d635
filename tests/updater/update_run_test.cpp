#include "updater/update_run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "loopback_server.h"
#include "package_maker.h"

namespace updater {
namespace {

namespace fs = std::filesystem;
using testing_support::MakeDeflatedZip;
using testing_support::MakeStoredZip;
using testing_support::ReadFileText;
using testing_support::WriteFileText;

constexpr const char* kUpdated = "The game was brought up to date.";
constexpr const char* kNothingNew = "The game is up to date.";

// A game directory whose messages point at a loopback update server, with a lobby stand-in that
// writes its folder and arguments to "lobby-args.txt".
class UpdaterRunTest : public ::testing::Test {
  protected:
    testing_support::LoopbackServer server;
    testing_support::ScratchFolder scratch;
    fs::path game = scratch.Path();

    void SetUp() override {
        fs::create_directories(game / "Info" / "ENG");
        WriteFileText(game / "Option.ini", "[Option]\r\nLANGUAGE=ENG\r\nD3D=1\r\n");
        WriteFileText(game / "Info" / "ENG" / "ATString.ini",
                      "00=" + server.Host() + "\r\n01=/patch/\r\n02=Package received.\r\n03=" + kUpdated +
                          "\r\n04=" + kNothingNew + "\r\n05=Looking for updates...\r\n06=Downloading...\r\n" +
                          "07=Brightlea Update\r\n");
        WriteFileText(game / "Version.ini", "1.00\r\n");
        WriteFileText(game / "Ravelin",
                      "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > lobby.tmp\n"
                      "mv lobby.tmp lobby-args.txt\n");
        fs::permissions(game / "Ravelin", fs::perms::owner_all);
    }

    UpdaterOutcome Run(bool showWindow = false) {
        UpdaterOptions options;
        options.gameFolder = game.string();
        options.lobbyArguments = {"-a", "b"};
        options.stepInterval = std::chrono::milliseconds(5);
        options.stallLimit = std::chrono::milliseconds(1000);
        options.showWindow = showWindow;
        return RunUpdater(options);
    }

    std::string LobbyArguments() {
        fs::path recorded = game / "lobby-args.txt";
        for (int i = 0; i < 1000 && !fs::exists(recorded); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return ReadFileText(recorded);
    }

    void ExpectLobbyStarted(const UpdaterOutcome& outcome) {
        EXPECT_TRUE(outcome.lobbyStarted);
        EXPECT_EQ(outcome.exitStatus, 0);
        EXPECT_EQ(LobbyArguments(), fs::canonical(game).string() + "\n[-a]\n[b]\n");
    }

    void ServeTwoVersions() {
        server.Serve("/patch/1.00/UpData.zip", MakeDeflatedZip({{"Version.ini", "1.00\r\n1.01\r\n"},
                                                                {"Map/Course1/Hole1.fnx", "hole one"}}));
        server.Serve("/patch/1.01/UpData.zip", MakeStoredZip({{"Version.ini", "1.02\r\n"},
                                                              {"Map\\Course1\\Hole1.fnx", "hole one, v2"}}));
    }
};

TEST_F(UpdaterRunTest, WalksTwoPackagesThenStartsTheLobby) {
    ServeTwoVersions();
    UpdaterOutcome outcome = Run(true);
    EXPECT_EQ(outcome.lastMessage, kUpdated);
    EXPECT_EQ(outcome.versionsWalked, (std::vector<std::string>{"1.00", "1.01", "1.02"}));
    EXPECT_EQ(ReadFileText(game / "Version.ini"), "1.02\r\n");
    EXPECT_EQ(ReadFileText(game / "Map" / "Course1" / "Hole1.fnx"), "hole one, v2");
    EXPECT_EQ(server.Requests().back(), "/patch/1.02/UpData.zip");
    ExpectLobbyStarted(outcome);
}

TEST_F(UpdaterRunTest, NoPackageAtAll) {
    UpdaterOutcome outcome = Run();
    EXPECT_EQ(outcome.lastMessage, kNothingNew);
    EXPECT_EQ(outcome.versionsWalked, std::vector<std::string>{"1.00"});
    EXPECT_FALSE(outcome.packageUnpacked);
    EXPECT_EQ(ReadFileText(game / "Version.ini"), "1.00\r\n");
    EXPECT_TRUE(fs::is_directory(game / "Upgrade"));
    ExpectLobbyStarted(outcome);
}

TEST_F(UpdaterRunTest, StalledServerEndsTheWalk) {
    server.Stall("/patch/1.00/UpData.zip", "PK\x03\x04", 50000);
    UpdaterOutcome outcome = Run();
    EXPECT_EQ(outcome.lastMessage, kNothingNew);
    ExpectLobbyStarted(outcome);
}

TEST_F(UpdaterRunTest, BrokenSecondPackageKeepsTheFirstVersion) {
    ServeTwoVersions();
    std::string second = MakeStoredZip({{"Version.ini", "1.02\r\n"}, {"Map/Course1/Hole1.fnx", "v2"}});
    server.Serve("/patch/1.01/UpData.zip", second.substr(0, second.size() / 2));
    UpdaterOutcome outcome = Run();
    EXPECT_EQ(outcome.lastMessage, kUpdated);
    EXPECT_EQ(outcome.versionsWalked, (std::vector<std::string>{"1.00", "1.01"}));
    EXPECT_EQ(ReadFileText(game / "Version.ini"), "1.00\r\n1.01\r\n");
    EXPECT_EQ(ReadFileText(game / "Map" / "Course1" / "Hole1.fnx"), "hole one");
    ExpectLobbyStarted(outcome);
}

TEST_F(UpdaterRunTest, ZipSlipPackageIsRefused) {
    server.Serve("/patch/1.00/UpData.zip",
                 MakeStoredZip({{"Version.ini", "1.01\r\n"}, {"..\\Escaped.txt", "x"}}));
    UpdaterOutcome outcome = Run();
    EXPECT_EQ(outcome.lastMessage, kNothingNew);
    EXPECT_FALSE(fs::exists(game.parent_path() / "Escaped.txt"));
    EXPECT_EQ(ReadFileText(game / "Version.ini"), "1.00\r\n");
    ExpectLobbyStarted(outcome);
}

TEST_F(UpdaterRunTest, PackageNamingItsOwnVersionAgainStopsTheWalk) {
    server.Serve("/patch/1.00/UpData.zip", MakeStoredZip({{"Version.ini", "1.00\r\n"}, {"Readme.txt", "x"}}));
    UpdaterOutcome outcome = Run();
    EXPECT_EQ(outcome.lastMessage, kUpdated);
    EXPECT_EQ(server.Requests(), std::vector<std::string>{"/patch/1.00/UpData.zip"});
    ExpectLobbyStarted(outcome);
}

TEST_F(UpdaterRunTest, MissingOptionFileStillStartsTheLobby) {
    fs::remove(game / "Option.ini");
    UpdaterOutcome outcome = Run(true);
    EXPECT_EQ(outcome.lastMessage, "Cannot read Option.ini");
    EXPECT_TRUE(server.Requests().empty());
    ExpectLobbyStarted(outcome);
}

TEST_F(UpdaterRunTest, MissingLobbyIsAFailureStatus) {
    fs::remove(game / "Ravelin");
    UpdaterOutcome outcome = Run();
    EXPECT_FALSE(outcome.lobbyStarted);
    EXPECT_EQ(outcome.exitStatus, 1);
}

// The program itself, copied into the game directory as it is installed, run without a display.
TEST_F(UpdaterRunTest, ProgramUpdatesItsOwnFolderAndPassesItsArguments) {
    ServeTwoVersions();
    fs::copy_file(fs::path(BRIGHTLEA_BIN_DIR) / "Mendler", game / "Mendler");
    std::string command = "cd '" + game.string() + "' && SDL_VIDEODRIVER=dummy ./Mendler -a b 2>mendler.log";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFileText(game / "mendler.log");
    EXPECT_EQ(LobbyArguments(), fs::canonical(game).string() + "\n[-a]\n[b]\n");
    EXPECT_EQ(ReadFileText(game / "Version.ini"), "1.02\r\n");
    EXPECT_EQ(server.Requests().size(), 3u);
}

}  // namespace
}  // namespace updater
