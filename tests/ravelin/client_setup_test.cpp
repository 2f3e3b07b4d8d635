#include "tools/ravelin/client_setup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

bool HasLine(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

fs::path FreshDir(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("brightlea-ravelin-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

TEST(RavelinOptions, ReadsSettingsAndRefusesImpossibleSeats) {
    tools::RavelinOptions o;
    std::string error;
    ASSERT_TRUE(tools::ParseRavelinOptions({"--players", "Ann,Bob Lee", "--mode", "vegas", "--stake", "10",
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
             {"--players", "Ann", "--observers", "Ann"},
             {"--players", "A,B", "--team"},
             {"--mode", "golf"},
             {"--level", "3"},
             {"--players"},
             {"--bogus", "1"},
         }) {
        tools::RavelinOptions refused;
        EXPECT_FALSE(tools::ParseRavelinOptions(bad, refused, error)) << bad[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(StartIni, DescribesTheMatchAndTheClientsOwnSeat) {
    tools::MatchSettings m;
    m.course = 6;
    m.courseName = "Lakeside";
    m.firstHole = 1;
    m.lastHole = 9;
    m.gameMode = 1;
    m.stake = 5;
    m.giveOption = true;
    const std::vector<std::string> players = {"Ann", "Bob Lee"};

    tools::Seat bob{"Bob Lee", false, 1, false};
    const std::string forBob = tools::BuildStartIni(m, players, bob);
    for (const char* line :
         {"CLUBCODE 6", "CLUBNAME \"Lakeside\"", "STARTHOLE 1", "ENDHOLE 9", "GAMEMODE 1", "BETTING 5",
          "OPTGIVE 1", "OPTNEAR 0", "MAXPLAYERS 2", "MYNO 1", "PLAYERID 0 \"Ann\"", "PLAYERID 1 \"Bob Lee\"",
          "PLAYERBALLS 1 100", "MYOBSERVER 0", "OBSGAMEJOIN 0"}) {
        EXPECT_TRUE(HasLine(forBob, line)) << line;
    }

    tools::Seat late{"Watcher", true, 0, true};
    const std::string forWatcher = tools::BuildStartIni(m, players, late);
    for (const char* line : {"MYOBSERVER 1", "OBSERVERID \"Watcher\"", "OBSGAMEJOIN 1", "MAXPLAYERS 2"}) {
        EXPECT_TRUE(HasLine(forWatcher, line)) << line;
    }
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

    tools::MatchSettings m;
    std::string error;
    ASSERT_TRUE(tools::ResolveMatchSettings(data, m, error)) << error;
    EXPECT_EQ(m.language, "KOR");
    EXPECT_EQ(m.course, 7);
    EXPECT_EQ(m.firstHole, 4);
    EXPECT_EQ(m.lastHole, 4);

    const fs::path client = root / "client";
    ASSERT_TRUE(tools::PrepareClientDirectory(data, client, m, "MYNO 1\n", error)) << error;
    EXPECT_EQ(ReadFile(client / "Info" / "KOR" / "Start.ini"), "MYNO 1\n");
    EXPECT_EQ(ReadFile(data / "Info" / "KOR" / "Start.ini"), "MYNO 3\n");  // the data stays as it was
    EXPECT_EQ(ReadFile(client / "Info" / "KOR" / "ChatMessage.ini"), "hello\n");
    EXPECT_TRUE(fs::is_symlink(client / "Map"));
    EXPECT_TRUE(fs::is_symlink(client / "Option.ini"));

    m.language = "ENG";  // another language than the data's: the client gets its own Option.ini
    ASSERT_TRUE(tools::PrepareClientDirectory(data, client, m, "MYNO 0\n", error)) << error;
    EXPECT_FALSE(fs::is_symlink(client / "Option.ini"));
    EXPECT_EQ(tools::OptionLanguage(ReadFile(client / "Option.ini")), "ENG");
    EXPECT_TRUE(HasLine(ReadFile(client / "Option.ini"), "ACC3DOPT 0"));
    EXPECT_EQ(ReadFile(client / "Info" / "ENG" / "Start.ini"), "MYNO 0\n");
    EXPECT_EQ(ReadFile(data / "Option.ini"), "LANGUAGE KOR\nACC3DOPT 0\n");

    tools::MatchSettings none;
    EXPECT_FALSE(tools::ResolveMatchSettings(root / "missing", none, error));
    fs::remove_all(root);
}

}  // namespace
