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
using testing_support::TreeSnapshot;
using testing_support::WriteFileText;

constexpr const char* kUpdated = "The game was brought up to date.";
constexpr const char* kNothingNew = "The game is up to date.";
constexpr const char* kRefused = "Update check failed: connection refused.";
constexpr const char* kTimedOut = "Update check failed: no answer in time.";
constexpr const char* kServerError = "Update check failed: the server sent an error.";
constexpr const char* kNotApplied = "Update refused: the package could not be applied.";

// A game directory whose messages point at a loopback update server, with a lobby stand-in that
// writes its folder and arguments to "lobby-args.txt".
class UpdaterRunTest : public ::testing::Test {
  protected:
    testing_support::LoopbackServer server;
    testing_support::ScratchFolder scratch;
    fs::path game = scratch.Path();
    testing_support::TestKey key = testing_support::TestKey::Make();

    // Serves the package for installed version `version` and its signature beside it.
    void ServePackage(const std::string& version, const std::string& package) {
        server.Serve("/patch/" + version + "/UpData.zip", package);
        server.Serve("/patch/" + version + "/UpData.zip.sig",
                     testing_support::SignatureFor(package, version, key));
    }

    void SetUp() override {
        fs::create_directories(game / "Info" / "ENG");
        WriteFileText(game / "Option.ini", "[Option]\r\nLANGUAGE=ENG\r\nD3D=1\r\n");
        WriteFileText(game / "Info" / "ENG" / "ATString.ini",
                      "00=" + server.Host() + "\r\n01=/patch/\r\n02=Package received.\r\n03=" + kUpdated +
                          "\r\n04=" + kNothingNew + "\r\n05=Looking for updates...\r\n06=Downloading...\r\n" +
                          "07=Brightlea Update\r\n08=Update check failed: server not reachable.\r\n" +
                          "09=" + kRefused + "\r\n10=" + kTimedOut + "\r\n11=" + kServerError +
                          "\r\n12=Update refused: it could not be verified.\r\n13=" + kNotApplied +
                          "\r\n14=Updates are off.\r\n");
        WriteFileText(game / "Version.ini", "1.00\r\n");
        WriteFileText(game / "Ravelin",
                      "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > lobby.tmp\n"
                      "mv lobby.tmp lobby-args.txt\n");
        fs::permissions(game / "Ravelin", fs::perms::owner_all);
        fs::create_directories(game / "Upgrade");
        WriteFileText(game / "Upgrade" / "Update.ini", "KEY=" + platform::ToHex(key.publicKey) + "\n");
    }

    UpdaterOutcome Run(bool showWindow = false) { return Run(Options(showWindow)); }
    UpdaterOptions Options(bool showWindow = false) {
        UpdaterOptions options;
        options.gameFolder = game.string();
        options.lobbyArguments = {"-a", "b"};
        options.stepInterval = std::chrono::milliseconds(5);
        options.stallLimit = std::chrono::milliseconds(1000);
        options.showWindow = showWindow;
        return options;
    }
    UpdaterOutcome Run(const UpdaterOptions& options) {
        std::error_code ignored;
        fs::remove(game / "lobby-args.txt", ignored);
        return RunUpdater(options);
    }
    // The installation without the updater's work folder and the lobby's record.
    std::map<std::string, std::string> Installation() {
        return TreeSnapshot(game, {"Upgrade", "lobby.tmp", "lobby-args.txt"});
    }
    // Nothing but the update settings and the downloaded package is left in the work folder.
    void ExpectOnlyThePackageLeft() {
        std::map<std::string, std::string> left = TreeSnapshot(game / "Upgrade");
        EXPECT_EQ(left.size(), 2u);
        EXPECT_EQ(left.count("UpData.zip"), 1u);
        EXPECT_EQ(left.count("Update.ini"), 1u);
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

    // A package is being unpacked or moved in: its staging folder exists.
    bool Applying() {
        std::error_code ignored;
        for (const fs::directory_entry& item : fs::directory_iterator(game / "Upgrade", ignored)) {
            if (item.path().filename().string().rfind("Staging-", 0) == 0) {
                return true;
            }
        }
        return false;
    }

    void ServeTwoVersions() {
        ServePackage("1.00", MakeDeflatedZip({{"Version.ini", "1.00\r\n1.01\r\n"},
                                              {"Map/Course1/Hole1.fnx", "hole one"}}));
        ServePackage("1.01", MakeStoredZip(
                                 {{"Version.ini", "1.02\r\n"}, {"Map\\Course1\\Hole1.fnx", "hole one, v2"}}));
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
    EXPECT_EQ(outcome.lastMessage, kTimedOut);
    ExpectLobbyStarted(outcome);
}

// Only "no package for this version" means up to date; a server that cannot be asked, or that
// answers with another error, is told as such, and the lobby starts all the same.
TEST_F(UpdaterRunTest, FailedChecksAreToldAsFailures) {
    server.ServeStatus("/patch/1.00/UpData.zip", "500 Internal Server Error");
    UpdaterOutcome outcome = Run();
    EXPECT_EQ(outcome.lastMessage, kServerError);
    ExpectLobbyStarted(outcome);

    int closedPort = 0;
    {
        testing_support::LoopbackServer gone;
        closedPort = gone.Port();
    }
    std::string messages = ReadFileText(game / "Info" / "ENG" / "ATString.ini");
    std::string host = server.Host();
    messages.replace(messages.find(host), host.size(), "127.0.0.1:" + std::to_string(closedPort));
    WriteFileText(game / "Info" / "ENG" / "ATString.ini", messages);
    testing::internal::CaptureStderr();
    outcome = Run();
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(outcome.lastMessage, kRefused);
    EXPECT_NE(printed.find("the update could not be checked at http://127.0.0.1:"), std::string::npos)
        << printed;
    ExpectLobbyStarted(outcome);
}

// With no update server at all the updater says that updates are off, and asks nobody.
TEST_F(UpdaterRunTest, NoUpdateServerMeansUpdatesAreOff) {
    WriteFileText(game / "Info" / "ENG" / "ATString.ini",
                  "00 \r\n01 \r\n02=a\r\n03=b\r\n04=c\r\n05=d\r\n06=e\r\n07=f\r\n");
    UpdaterOutcome outcome = Run();
    EXPECT_EQ(outcome.lastMessage, "Updates are off: no update server is set.");  // the stand-in text
    EXPECT_TRUE(outcome.versionsWalked.empty());
    EXPECT_TRUE(server.Requests().empty());
    ExpectLobbyStarted(outcome);
}

TEST_F(UpdaterRunTest, BrokenSecondPackageKeepsTheFirstVersion) {
    ServeTwoVersions();
    std::string second = MakeStoredZip({{"Version.ini", "1.02\r\n"}, {"Map/Course1/Hole1.fnx", "v2"}});
    ServePackage("1.01", second.substr(0, second.size() / 2));
    UpdaterOutcome outcome = Run();
    EXPECT_EQ(outcome.lastMessage, kNotApplied);
    EXPECT_EQ(outcome.versionsWalked, (std::vector<std::string>{"1.00", "1.01"}));
    EXPECT_EQ(ReadFileText(game / "Version.ini"), "1.00\r\n1.01\r\n");
    EXPECT_EQ(ReadFileText(game / "Map" / "Course1" / "Hole1.fnx"), "hole one");
    ExpectLobbyStarted(outcome);
}

TEST_F(UpdaterRunTest, ZipSlipPackageIsRefused) {
    ServePackage("1.00", MakeStoredZip({{"Version.ini", "1.01\r\n"}, {"..\\Escaped.txt", "x"}}));
    UpdaterOutcome outcome = Run();
    EXPECT_EQ(outcome.lastMessage, kNotApplied);
    EXPECT_FALSE(fs::exists(game.parent_path() / "Escaped.txt"));
    EXPECT_EQ(ReadFileText(game / "Version.ini"), "1.00\r\n");
    ExpectLobbyStarted(outcome);
}

TEST_F(UpdaterRunTest, PackageNamingItsOwnVersionAgainStopsTheWalk) {
    ServePackage("1.00", MakeStoredZip({{"Version.ini", "1.00\r\n"}, {"Readme.txt", "x"}}));
    UpdaterOutcome outcome = Run();
    EXPECT_EQ(outcome.lastMessage, kUpdated);
    EXPECT_EQ(server.Requests(),
              (std::vector<std::string>{"/patch/1.00/UpData.zip", "/patch/1.00/UpData.zip.sig"}));
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

TEST_F(UpdaterRunTest, SettingsFilesThatAreFoldersStillStartTheLobby) {
    const std::pair<const char*, const char*> cases[] = {
        {"Option.ini", "Cannot read Option.ini"},
        {"Info/ENG/ATString.ini", "Cannot read Info/ENG/ATString.ini"},
        {"Version.ini", "Version.ini is missing or names no version"},
    };
    for (const auto& [file, shown] : cases) {
        std::string kept = ReadFileText(game / file);
        fs::remove(game / file);
        fs::create_directories(game / file);
        UpdaterOutcome outcome = Run(true);
        EXPECT_EQ(outcome.lastMessage, shown);
        ExpectLobbyStarted(outcome);
        fs::remove(game / file);
        WriteFileText(game / file, kept);
    }
}

TEST_F(UpdaterRunTest, BinarySettingsAreReportedEscaped) {
    WriteFileText(game / "Version.ini", std::string("\x1b]0;\x07\xff\x00\x01", 7));
    testing::internal::CaptureStderr();
    UpdaterOutcome outcome = Run();
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(outcome.lastMessage, "Version.ini names no readable version");
    ExpectLobbyStarted(outcome);

    WriteFileText(game / "Option.ini", "LANGUAGE=\x1b[2J\n");
    testing::internal::CaptureStderr();
    outcome = Run();
    printed += testing::internal::GetCapturedStderr();
    EXPECT_EQ(outcome.lastMessage, "Option.ini names no valid language");
    ExpectLobbyStarted(outcome);
    EXPECT_EQ(printed.find('\x1b'), std::string::npos) << printed;
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(UpdaterRunTest, RefusedPackageChangesNothingAndIsAskedForAgain) {
    fs::create_directories(game / "Map" / "Course1");
    WriteFileText(game / "Map" / "Course1" / "Hole1.fnx", "old hole");
    // Good entries first, then a file where the package itself needs a folder.
    ServePackage("1.00", MakeStoredZip({{"Version.ini", "1.01\r\n"},
                                        {"Map/Course1/Hole1.fnx", "new hole"},
                                        {"Sound/New/Swing.wav", "wav"},
                                        {"Extra", "a file"},
                                        {"Extra/Data.bin", "data"}}));
    std::map<std::string, std::string> before = Installation();
    for (int run = 0; run < 2; ++run) {
        UpdaterOutcome outcome = Run();
        EXPECT_EQ(outcome.lastMessage, kNotApplied);
        EXPECT_EQ(Installation(), before);
        ExpectOnlyThePackageLeft();
        ExpectLobbyStarted(outcome);
    }
    EXPECT_EQ(server.Requests(),
              (std::vector<std::string>{"/patch/1.00/UpData.zip", "/patch/1.00/UpData.zip.sig",
                                        "/patch/1.00/UpData.zip", "/patch/1.00/UpData.zip.sig"}));
}

TEST_F(UpdaterRunTest, PackageNamesArePrintedEscaped) {
    ServePackage("1.00",
                 MakeStoredZip({{"Version.ini", "1.01\r\n"}, {"Info/\x1b[2J\x1b]0;owned\x07.txt", "x"}}));
    std::map<std::string, std::string> before = Installation();
    testing::internal::CaptureStderr();
    UpdaterOutcome outcome = Run();
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Installation(), before);
    EXPECT_EQ(printed.find('\x1b'), std::string::npos) << printed;
    EXPECT_EQ(printed.find('\x07'), std::string::npos);
    EXPECT_NE(printed.find("Info/\\x1b[2J\\x1b]0;owned\\x07.txt"), std::string::npos) << printed;
    ExpectLobbyStarted(outcome);
}

TEST_F(UpdaterRunTest, TricklingServerIsGivenUpAtTheDeadline) {
    server.Trickle("/patch/1.00/UpData.zip", MakeStoredZip({{"Version.ini", "1.01\r\n"}}),
                   std::chrono::milliseconds(100));
    UpdaterOptions options = Options();
    options.downloadDeadline = std::chrono::milliseconds(1500);
    testing::internal::CaptureStderr();
    UpdaterOutcome outcome = Run(options);
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find("not finished within 1500 ms"), std::string::npos) << printed;
    EXPECT_EQ(outcome.lastMessage, kTimedOut);
    ExpectLobbyStarted(outcome);
}

// A stop request that arrives while the package is being applied: asked as soon as the staging
// folder exists.
TEST_F(UpdaterRunTest, StopWhileUnpackingUndoesThePackageAndEnds) {
    ServeTwoVersions();
    std::map<std::string, std::string> before = Installation();
    UpdaterOptions options = Options();
    options.stopRequested = [&] { return Applying(); };
    testing::internal::CaptureStderr();
    UpdaterOutcome outcome = Run(options);
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(outcome.stopped);
    EXPECT_FALSE(outcome.lobbyStarted);
    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(Installation(), before);
    EXPECT_NE(printed.find("stopped; the installation was left as it was (version 1.00)"), std::string::npos)
        << printed;
    ExpectOnlyThePackageLeft();
}

// A stop at each point where the updater looks for one while it applies a package, and one that
// comes once the last file is in place (Version.ini is moved last): the package is either moved
// back or finished, and what the updater prints says which.
TEST_F(UpdaterRunTest, StopAtAnyPointSaysTruthfullyWhatItLeft) {
    ServePackage("1.00", MakeStoredZip({{"Map/Course1/Hole1.fnx", "hole one"},
                                        {"Map/Course1/Hole2.fnx", "hole two"},
                                        {"Version.ini", "1.01\r\n"}}));
    std::map<std::string, std::string> before = Installation();
    int undone = 0;
    for (int stopAt = 1;; ++stopAt) {
        UpdaterOptions options = Options();
        int asked = 0;
        options.stopRequested = [&] {
            return (Applying() && ++asked >= stopAt) || ReadFileText(game / "Version.ini") == "1.01\r\n";
        };
        testing::internal::CaptureStderr();
        UpdaterOutcome outcome = Run(options);
        std::string printed = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(outcome.stopped);
        EXPECT_FALSE(outcome.lobbyStarted);
        if (ReadFileText(game / "Version.ini") == "1.01\r\n") {
            EXPECT_EQ(ReadFileText(game / "Map" / "Course1" / "Hole2.fnx"), "hole two");
            EXPECT_NE(printed.find("stopped after the installation was brought to version 1.01"),
                      std::string::npos)
                << printed;
            break;
        }
        ++undone;
        EXPECT_EQ(Installation(), before) << stopAt;
        EXPECT_NE(printed.find("left as it was (version 1.00)"), std::string::npos) << printed;
        ASSERT_LT(stopAt, 1000);
    }
    EXPECT_GT(undone, 3);
    ExpectOnlyThePackageLeft();
}

// A run killed while it applied the package for 1.00 left its journal: the next start undoes it
// before it reads the settings, one of which the killed run had moved aside.
TEST_F(UpdaterRunTest, InterruptedUpdateIsUndoneBeforeTheSettingsAreRead) {
    std::map<std::string, std::string> before = Installation();
    fs::path staging = game / "Upgrade" / "Staging-5-6";
    fs::create_directories(staging);
    WriteFileText(staging / "0", "[Option]\r\nLANGUAGE=JPN\r\n");
    WriteFileText(staging / "1", "1.01\r\n");
    fs::rename(game / "Option.ini", staging / "old-0");
    WriteFileText(game / "Upgrade" / "Journal.txt",
                  "Brightlea update journal\nstate applying\nstaging Upgrade/Staging-5-6\n"
                  "file 1 0 Option.ini\nfile 1 1 Version.ini\nend\n");
    UpdaterOutcome outcome = Run();
    EXPECT_EQ(outcome.lastMessage, kNothingNew);
    EXPECT_EQ(server.Requests(), std::vector<std::string>{"/patch/1.00/UpData.zip"});
    EXPECT_EQ(Installation(), before);
    EXPECT_FALSE(fs::exists(staging));
    EXPECT_FALSE(fs::exists(game / "Upgrade" / "Journal.txt"));
    ExpectLobbyStarted(outcome);
}

TEST_F(UpdaterRunTest, UnreadableJournalStopsUpdatingButNotTheLobby) {
    ServeTwoVersions();
    fs::create_directories(game / "Upgrade");
    WriteFileText(game / "Upgrade" / "Journal.txt", "Brightlea update journal\nstate app");
    testing::internal::CaptureStderr();
    UpdaterOutcome outcome = Run(true);
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(outcome.lastMessage, "An interrupted update could not be completed");
    EXPECT_NE(printed.find("Upgrade/Journal.txt is damaged"), std::string::npos) << printed;
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(ReadFileText(game / "Upgrade" / "Journal.txt"), "Brightlea update journal\nstate app");
    ExpectLobbyStarted(outcome);
}

TEST_F(UpdaterRunTest, LobbyFromAPackageWithoutExecuteBitsStillStarts) {
    std::string lobby = ReadFileText(game / "Ravelin");
    ServePackage("1.00", MakeDeflatedZip({{"Version.ini", "1.01\r\n"}, {"Ravelin", lobby}}));
    UpdaterOutcome outcome = Run();
    EXPECT_EQ(outcome.lastMessage, kUpdated);
    ExpectLobbyStarted(outcome);
}

// The program itself, copied into the game directory as it is installed, run without a display.
TEST_F(UpdaterRunTest, ProgramUpdatesItsOwnFolderAndPassesItsArguments) {
    ServeTwoVersions();
    fs::copy_file(fs::path(BRIGHTLEA_BIN_DIR) / "Mendler", game / "Mendler");
    std::string command = "cd '" + game.string() + "' && SDL_VIDEODRIVER=dummy ./Mendler -a b 2>mendler.log";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFileText(game / "mendler.log");
    EXPECT_EQ(LobbyArguments(), fs::canonical(game).string() + "\n[-a]\n[b]\n");
    EXPECT_EQ(ReadFileText(game / "Version.ini"), "1.02\r\n");
    EXPECT_EQ(server.Requests().size(), 5u);  // two packages with their signatures, then none
}

}  // namespace
}  // namespace updater
