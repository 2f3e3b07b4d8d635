#include "lobby/client_setup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <span>
#include <sstream>

#include <sys/stat.h>

#include "game/shell/launch/launch_files.h"
#include "lobby/screenshot_keeper.h"

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

bool HasLine(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

fs::path FreshDir(const std::string& name) {
    // Unique per run: other checkouts on this machine may run the same tests at the same time.
    const fs::path dir = fs::temp_directory_path() /
                         ("brightlea-ravelin-" + name + "-" + std::to_string(std::random_device{}()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

TEST(RavelinOptions, ReadsSettingsAndRefusesImpossibleSeats) {
    lobby::RavelinOptions o;
    std::string error;
    ASSERT_TRUE(lobby::ParseRavelinOptions({"--players", "Ann,Bob Lee", "--mode", "vegas", "--stake", "10",
                                            "--near", "--windowed", "--first-hole", "3"},
                                           o, error))
        << error;
    EXPECT_EQ(o.players, (std::vector<std::string>{"Ann", "Bob Lee"}));
    EXPECT_EQ(o.match.gameMode, 2);
    EXPECT_EQ(o.match.stake, 10);
    EXPECT_TRUE(o.match.nearOption);
    EXPECT_TRUE(o.windowed);
    EXPECT_EQ(o.match.firstHole, 3);

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--players", "A,B,C,D,E"},
             {"--players", "Thirteen_char"},
             {"--players", "Ann,Ann"},
             {"--players", "A\"nn"},  // a double quote cannot be written into Start.ini
             {"--players", "Ann", "--observers", "Eve\tX"},
             {"--game-name", "the \"big\" one"},
             {"--course-name", "two\nlines"},
             {"--players", "Ann", "--observers", "Ann"},
             {"--players", "A,B", "--team"},
             {"--mode", "golf"},
             {"--level", "3"},
             {"--players"},
             {"--bogus", "1"},
         }) {
        lobby::RavelinOptions refused;
        EXPECT_FALSE(lobby::ParseRavelinOptions(bad, refused, error)) << bad[0];
        EXPECT_FALSE(error.empty());
    }
}

// What the game reads back from the file Ravelin writes.
struct ReadBack {
    shell::MatchConfig match;
    shell::PlayerInfo players[shell::kPlayerSlots];
};
ReadBack ParseStartIni(const std::string& text) {
    ReadBack r;
    shell::ParseStartFile(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), r.match,
                          r.players);
    return r;
}

TEST(StartIni, TheGameReadsBackTheMatchAndItsOwnSeat) {
    lobby::MatchSettings m;
    m.course = 6;
    m.courseName = "Lake side";
    m.firstHole = 1;
    m.lastHole = 9;
    m.gameMode = 1;
    m.stake = 5;
    m.balls = 250;
    m.giveOption = true;
    const std::vector<std::string> players = {"Ann", "Bob Lee"};

    const ReadBack bob =
        ParseStartIni(lobby::BuildStartIni(m, players, lobby::Seat{"Bob Lee", false, 1, false}));
    EXPECT_EQ(bob.match.courseCode, 6);
    EXPECT_STREQ(bob.match.courseName, "Lake side");
    EXPECT_EQ(bob.match.startHole, 1);
    EXPECT_EQ(bob.match.endHole, 9);
    EXPECT_EQ(bob.match.gameMode, 1);
    EXPECT_EQ(bob.match.betting, 5);
    EXPECT_EQ(bob.match.optGive, 1);
    EXPECT_EQ(bob.match.optNear, 0);
    EXPECT_EQ(bob.match.maxPlayers, 2);
    EXPECT_EQ(bob.match.localSlot, 1);
    EXPECT_EQ(bob.match.localIsObserver, 0);
    EXPECT_EQ(bob.match.waitingForSnapshot, 0);
    EXPECT_STREQ(bob.players[0].name, "Ann");
    EXPECT_STREQ(bob.players[1].name, "Bob Lee");
    EXPECT_EQ(bob.players[1].balls, 250);

    const ReadBack late =
        ParseStartIni(lobby::BuildStartIni(m, players, lobby::Seat{"Watcher", true, 0, true}));
    EXPECT_EQ(late.match.localIsObserver, 1);
    EXPECT_STREQ(late.match.observerName, "Watcher");
    EXPECT_EQ(late.match.waitingForSnapshot, 1);
    EXPECT_EQ(late.match.maxPlayers, 2);

    const ReadBack early =
        ParseStartIni(lobby::BuildStartIni(m, players, lobby::Seat{"Watcher", true, 0, false}));
    EXPECT_EQ(early.match.waitingForSnapshot, 0);
}

TEST(ClientDirectory, SharesTheDataAndHoldsItsOwnStartIni) {
    const fs::path root = FreshDir("dirs");
    const fs::path data = root / "data";
    WriteFile(data / "Option.ini", "LANGUAGE KOR\nACC3DOPT 0\n");
    WriteFile(data / "Info" / "KOR" / "Start.ini", "MYNO 3\n");
    WriteFile(data / "Info" / "KOR" / "ChatMessage.ini", "hello\n");
    WriteFile(data / "Info" / "ENG" / "ChatMessage.ini", "hi\n");
    WriteFile(data / "Map" / "Club_07" / "Hole_04" / "Hole.ini", "FNH");
    WriteFile(data / "Map" / "Club_09" / "Hole_01" / "Hole.ini", "FNH");

    lobby::MatchSettings m;
    std::string error;
    ASSERT_TRUE(lobby::ResolveMatchSettings(data, m, error)) << error;
    EXPECT_EQ(m.language, "KOR");
    EXPECT_EQ(m.course, 7);
    EXPECT_EQ(m.firstHole, 4);
    EXPECT_EQ(m.lastHole, 4);

    const fs::path client = root / "client";
    ASSERT_TRUE(lobby::PrepareClientDirectory(data, client, m, "MYNO 1\n", error)) << error;
    EXPECT_EQ(lobby::ReadWholeFile(client / "Info" / "KOR" / "Start.ini"), "MYNO 1\n");
    EXPECT_EQ(lobby::ReadWholeFile(data / "Info" / "KOR" / "Start.ini"),
              "MYNO 3\n");  // the data stays as it was
    EXPECT_EQ(lobby::ReadWholeFile(client / "Info" / "KOR" / "ChatMessage.ini"), "hello\n");
    EXPECT_TRUE(fs::is_symlink(client / "Map"));
    EXPECT_TRUE(fs::is_symlink(client / "Option.ini"));

    m.language = "ENG";  // another language than the data's: the client gets its own Option.ini
    ASSERT_TRUE(lobby::PrepareClientDirectory(data, client, m, "MYNO 0\n", error)) << error;
    EXPECT_FALSE(fs::is_symlink(client / "Option.ini"));
    EXPECT_EQ(lobby::OptionLanguage(lobby::ReadWholeFile(client / "Option.ini")), "ENG");
    EXPECT_TRUE(HasLine(lobby::ReadWholeFile(client / "Option.ini"), "ACC3DOPT 0"));
    EXPECT_EQ(lobby::ReadWholeFile(client / "Info" / "ENG" / "Start.ini"), "MYNO 0\n");
    EXPECT_EQ(lobby::ReadWholeFile(data / "Option.ini"), "LANGUAGE KOR\nACC3DOPT 0\n");

    lobby::MatchSettings none;
    EXPECT_FALSE(lobby::ResolveMatchSettings(root / "missing", none, error));
    lobby::MatchSettings bare;
    ASSERT_TRUE(
        lobby::ResolveMatchSettings(root / "client" / "Info", bare, error));  // no Map/, no Option.ini
    EXPECT_EQ(bare.language, "ENG");
    EXPECT_EQ(bare.course, 1);
    EXPECT_EQ(bare.firstHole, 1);
    fs::remove_all(root);
}

}  // namespace

namespace {

TEST(KeepScreenshots, MovesEachClientsPicturesOutWithoutOverwritingAny) {
    const fs::path work = FreshDir("work");
    const fs::path keep = FreshDir("keep") / "Pictures";
    WriteFile(work / "client-0" / "screenshot-0001.png", "a");
    WriteFile(work / "client-0" / "screenshot-0002.png", "b");
    WriteFile(work / "client-1" / "screenshot-0001.png", "c");
    WriteFile(work / "client-1" / "state01-0001.png", "state capture");
    WriteFile(work / "client-1" / "Start.ini", "x");
    WriteFile(work / "screenshot-0009.png", "not in a client's directory");
    WriteFile(keep / "client-0-screenshot-0001.png", "kept by an earlier match");

    std::string error;
    const std::vector<fs::path> kept = lobby::KeepScreenshots(work, keep, error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(kept.size(), 3u);
    EXPECT_EQ(lobby::ReadWholeFile(keep / "client-0-screenshot-0001.png"), "kept by an earlier match");
    EXPECT_EQ(lobby::ReadWholeFile(keep / "client-0-screenshot-0001-2.png"), "a");
    EXPECT_EQ(lobby::ReadWholeFile(keep / "client-0-screenshot-0002.png"), "b");
    EXPECT_EQ(lobby::ReadWholeFile(keep / "client-1-screenshot-0001.png"), "c");
    EXPECT_FALSE(fs::exists(work / "client-0" / "screenshot-0001.png"));
    EXPECT_TRUE(fs::exists(work / "client-1" / "state01-0001.png"));
    EXPECT_TRUE(fs::exists(work / "screenshot-0009.png"));

    // Nothing to keep: no folder is made.
    const fs::path none = FreshDir("none") / "Pictures";
    EXPECT_TRUE(lobby::KeepScreenshots(work, none, error).empty());
    EXPECT_FALSE(fs::exists(none));
    EXPECT_EQ(lobby::ScreenshotFolder("/home/ann"), fs::path("/home/ann/Pictures/Brightlea"));
    EXPECT_EQ(lobby::ScreenshotFolder(""), fs::current_path());  // no home: the current folder
    fs::remove_all(work);
    fs::remove_all(keep.parent_path());
}

TEST(KeepScreenshots, SaysWhatItCouldNotKeepAndLeavesThosePicturesInPlace) {
    const fs::path work = FreshDir("work");
    const fs::path blocked = FreshDir("blocked");
    WriteFile(blocked / "Pictures", "a file where the folder should be");
    WriteFile(work / "client-0" / "screenshot-0001.png", "a");

    std::string error;
    EXPECT_TRUE(lobby::KeepScreenshots(work, blocked / "Pictures", error).empty());
    EXPECT_NE(error.find("cannot keep"), std::string::npos) << error;
    EXPECT_EQ(lobby::ReadWholeFile(work / "client-0" / "screenshot-0001.png"), "a");
    fs::remove_all(work);
    fs::remove_all(blocked);
}

TEST(KeepScreenshots, CopiesAcrossFileSystems) {
    // The work folder in memory (/dev/shm) and the pictures folder on disk: rename cannot move the
    // file there, so it is copied and the original removed.
    const fs::path shm = "/dev/shm";
    const fs::path keep = FreshDir("keep-across") / "Pictures";
    struct stat memory = {};
    struct stat disk = {};
    if (stat(shm.c_str(), &memory) != 0 || stat(keep.parent_path().c_str(), &disk) != 0 ||
        memory.st_dev == disk.st_dev) {
        fs::remove_all(keep.parent_path());
        GTEST_SKIP() << "no second file system here";
    }
    const fs::path work = shm / ("brightlea-ravelin-work-" + std::to_string(std::random_device{}()));
    WriteFile(work / "client-2" / "screenshot-0003.png", "picture");

    std::string error;
    EXPECT_EQ(lobby::KeepScreenshots(work, keep, error).size(), 1u);
    EXPECT_EQ(error, "");
    EXPECT_EQ(lobby::ReadWholeFile(keep / "client-2-screenshot-0003.png"), "picture");
    EXPECT_FALSE(fs::exists(work / "client-2" / "screenshot-0003.png"));
    fs::remove_all(work);
    fs::remove_all(keep.parent_path());
}

}  // namespace
