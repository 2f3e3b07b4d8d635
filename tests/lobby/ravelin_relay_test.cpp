// Ravelin as a program: it starts scripted clients (RavelinProbe), which talk to it through real
// sockets with the game's own lobby link.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/course/hole_files.h"
#include "tests/lobby/report_lines.h"

namespace fs = std::filesystem;

namespace {

using fixtures::Count;
using fixtures::Lines;

struct Received {
    std::vector<std::string> broadcast;  // packets with an empty recipient, in arrival order
    std::vector<std::string> addressed;  // the others
};

Received ReadLog(const fs::path& path) {
    Received r;
    for (const std::string& line : Lines(path)) {
        const size_t bar = line.find('|');
        (line[bar + 1] == '|' ? r.broadcast : r.addressed).push_back(line);
    }
    return r;
}

class RavelinRelay : public ::testing::Test {
  protected:
    void SetUp() override {
        // Unique per run: other checkouts on this machine may run the same tests at the same time.
        root_ = fs::temp_directory_path() / ("brightlea-relay-" + std::to_string(std::random_device{}()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "data" / "Info" / "ENG");
        fs::create_directories(root_ / "data" / "Map" / "Club_01" / "Hole_01");
        std::ofstream(root_ / "data" / "Option.ini") << "LANGUAGE ENG\n";
        fixtures::WriteHoleFiles(root_ / "data", 1, 1);  // game clients refuse a course they cannot draw
        std::ofstream(root_ / "commands");               // no commands unless a test writes some
    }
    void TearDown() override { fs::remove_all(root_); }

    // Runs Ravelin with the probe clients (or the given client program); returns its exit code.
    int Run(const std::string& players, const std::string& environment = "",
            const std::string& client = "RavelinProbe", int maxSeconds = 60) {
        const std::string bin = BRIGHTLEA_BIN_DIR;
        const std::string command =
            environment + " " + bin + "/Ravelin --data " + (root_ / "data").string() + " --client " + bin +
            "/" + client + " --work " + (root_ / "work").string() + " --max-seconds " +
            std::to_string(maxSeconds) + " --players " + players + " < " + (root_ / "commands").string() +
            " > " + (root_ / "reports").string() + " 2> " + (root_ / "log").string();
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    Received Client(int i) {
        return ReadLog(root_ / "work" / ("client-" + std::to_string(i)) / "received.log");
    }
    std::vector<std::string> Reports() { return Lines(root_ / "reports"); }

    fs::path root_;
};

TEST_F(RavelinRelay, EveryClientSeesThePacketsInTheSameOrder) {
    ASSERT_EQ(Run("Ann,Bob,Cy"), 0) << Lines(root_ / "log").size();
    const Received ann = Client(0);
    const Received bob = Client(1);
    const Received cy = Client(2);
    EXPECT_EQ(Count(ann.broadcast, "|94|"), 3u);
    EXPECT_EQ(ann.broadcast, bob.broadcast);
    EXPECT_EQ(ann.broadcast, cy.broadcast);
    EXPECT_EQ(ann.broadcast.size(), 3u * (2 * 20 + 2));
    // Each player addressed one snapshot to the next one.
    EXPECT_EQ(Count(ann.addressed, "Cy|Ann|17|"), 1u);
    EXPECT_EQ(Count(bob.addressed, "Ann|Bob|17|"), 1u);
    EXPECT_EQ(Count(bob.addressed, "|Ann|17|"), 0u);

    const std::vector<std::string> reports = Reports();
    EXPECT_EQ(Count(reports, R"("type":16)"), 3u);
    EXPECT_EQ(Count(reports, R"({"from":"Cy","hole":1,"strokes":5,"type":16})"), 1u);
    EXPECT_EQ(Count(reports, R"("type":94)"), 3u);
    EXPECT_FALSE(fs::exists(root_ / "work" / "client-0.sock"));
}

TEST_F(RavelinRelay, SurvivesGarbageFloodsAndPlayersWhoLeave) {
    ASSERT_EQ(Run("Ann,Bob,Cy", "RAVELIN_PROBE_ROLES=Bob=quit,Cy=garbage"), 0);
    const Received ann = Client(0);
    const Received cy = Client(2);
    EXPECT_EQ(Count(ann.addressed, "|Bob|91|"), 1u);
    EXPECT_EQ(Count(cy.addressed, "|Bob|91|"), 1u);
    EXPECT_EQ(ann.broadcast, cy.broadcast);
    EXPECT_GE(Count(ann.broadcast, "Cy||0|"), 3000u);
    // What a client may not send is refused, not relayed: no unknown type, no closing of the
    // match by a player, no report in another player's name.
    EXPECT_EQ(Count(ann.broadcast, "Cy||200|"), 0u);
    EXPECT_EQ(Count(ann.broadcast, "||97|"), 0u);
    EXPECT_EQ(Count(Reports(), R"("from":"Ann","hole")"), 1u);
    EXPECT_GE(Count(Lines(root_ / "log"), "refused a packet from Cy"), 3u);
    EXPECT_EQ(Count(ann.broadcast, "Ann||94|"), 1u);
}

TEST_F(RavelinRelay, AClientThatEndsRightAfterItsFinalReportsLosesNoneOfThem) {
    // Cy sends its reports and ends with the others' packets still unread, which makes the
    // kernel report a reset before Cy's last packets. Timing varies, so it is tried many times.
    for (int run = 0; run < 20; ++run) {
        SCOPED_TRACE(run);
        ASSERT_EQ(Run("Ann,Bob,Cy", "RAVELIN_PROBE_ROLES=Cy=final"), 0);
        const std::vector<std::string> reports = Reports();
        EXPECT_EQ(Count(reports, R"({"from":"Cy","hole":1,"strokes":5,"type":16})"), 1u);
        EXPECT_EQ(Count(reports, R"("from":"Cy","players":3)"), 1u);
        EXPECT_EQ(Count(reports, R"({"from":"Cy","text":"GameEnd","type":94})"), 1u);
        EXPECT_EQ(Count(Client(0).addressed, "|Cy|91|"), 0u);  // having reported, Cy is not news
    }
}

TEST_F(RavelinRelay, ClosingTheMatchEndsEveryClient) {
    // An observer whose name cannot be written into its Start.ini is refused, not started.
    std::ofstream(root_ / "commands") << "observe Eve\"s\nsay welcome\nclose\n";
    ASSERT_EQ(Run("Ann,Bob"), 0);
    for (int i = 0; i < 2; ++i) {
        const Received r = Client(i);
        EXPECT_EQ(Count(r.broadcast, "||82|"), 1u);
        EXPECT_EQ(Count(r.broadcast, "||97|"), 1u);
    }
    EXPECT_EQ(Count(Lines(root_ / "log"), "observer name \"Eve\"s\" must have"), 1u);
    EXPECT_FALSE(fs::exists(root_ / "work" / "client-2"));
}

TEST_F(RavelinRelay, StartsGameClientsThatConnectThroughTheirOwnSockets) {
    // The game clients run until they are stopped: Ravelin stops them when its time is up.
    EXPECT_EQ(Run("Ann,Bob", "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy", "Brightlea", 4), 1);
    const std::vector<std::string> log = Lines(root_ / "log");
    EXPECT_EQ(Count(log, "Ann disconnected"), 1u);
    EXPECT_EQ(Count(log, "Bob disconnected"), 1u);
    EXPECT_EQ(Count(log, "ended with"), 2u);
}

TEST_F(RavelinRelay, AClientThatCannotStartFailsTheMatch) {
    EXPECT_EQ(Run("Ann,Bob", "", "NoSuchClient", 10), 2);
}

}  // namespace
