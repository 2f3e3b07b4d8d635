// Two real game processes play the demo course's first two holes through Ravelin with the built-in
// player, and Ravelin compares their state logs.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "tests/lobby/report_lines.h"

namespace fs = std::filesystem;

namespace {

using fixtures::Count;
using fixtures::Lines;

TEST(MatchSync, TwoGameProcessesFinishTwoHolesAndAgree) {
    const fs::path data = BRIGHTLEA_GAMEDATA_DIR;
    if (!fs::exists(data / "Map" / "Club_01" / "Hole_02")) {
        GTEST_SKIP() << "no data set built in " << data;
    }
    const fs::path root =
        fs::temp_directory_path() / ("brightlea-sync-" + std::to_string(std::random_device{}()));
    fs::create_directories(root);
    const std::string bin = BRIGHTLEA_BIN_DIR;
    const std::string command =
        "SDL_VIDEODRIVER=dummy " + bin + "/Ravelin --data " + data.string() + " --client " + bin +
        "/Brightlea --work " + (root / "work").string() +
        " --players Ann,Bob --course 1 --first-hole 1 --last-hole 2 --autoplay --check-sync"
        " --time-scale 24 --max-seconds 300 < /dev/null > " +
        (root / "reports").string() + " 2> " + (root / "log").string();
    const int status = std::system(command.c_str());
    const std::vector<std::string> reports = Lines(root / "reports");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_EQ(Count(reports, "\"agree\":true"), 1u);
    EXPECT_EQ(Count(reports, "\"type\":16"), 4u);  // each player, each hole, once
    EXPECT_EQ(Count(reports, "\"type\":92"), 2u);
    const std::vector<std::string> log = Lines(root / "work" / "client-0" / "state.log");
    EXPECT_EQ(Count(log, "hole-end"), 2u);
    if (::testing::Test::HasFailure()) {
        // Ravelin's own log says which client ended how: kept in the test's output for a failure
        // that does not show again on a rerun.
        for (const std::string& line : Lines(root / "log")) {
            std::cerr << "ravelin log: " << line << '\n';
        }
        for (const std::string& line : reports) {
            std::cerr << "report: " << line << '\n';
        }
    }
    fs::remove_all(root);
}

}  // namespace
