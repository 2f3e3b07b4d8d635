// A real game client that stops (SIGSTOP) while its connection lives: the lobby times its turn out
// or takes it out as not answering, and the other player finishes the match in sync.

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/lobby/net_helpers.h"
#include "tests/lobby/report_lines.h"

namespace fs = std::filesystem;

namespace {

using fixtures::Count;
using fixtures::Lines;

// The game process whose working directory is dir (the client Ravelin started there), or -1. Only
// once it runs the game: stopping Ravelin's child before its exec would stop Ravelin too.
pid_t ProcessIn(const fs::path& dir) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        if (fs::read_symlink(entry.path() / "cwd", ec) == dir &&
            fs::read_symlink(entry.path() / "exe", ec).filename() == "Brightlea") {
            return static_cast<pid_t>(std::stoi(name));
        }
    }
    return -1;
}

TEST(StalledClient, AStoppedClientIsTakenOutAndTheOtherPlayerFinishesInSync) {
    const fs::path data = BRIGHTLEA_GAMEDATA_DIR;
    if (!fs::exists(data / "Map" / "Club_01" / "Hole_01")) {
        GTEST_SKIP() << "no data set built in " << data;
    }
    const fs::path root =
        fs::temp_directory_path() / ("brightlea-stall-" + std::to_string(std::random_device{}()));
    fs::create_directories(root);
    const std::string bin = BRIGHTLEA_BIN_DIR;
    nettest::Background ravelin(
        "SDL_VIDEODRIVER=dummy " + bin + "/Ravelin --data " + data.string() + " --client " + bin +
        "/Brightlea --work " + (root / "work").string() +
        " --players Ann,Bob --course 1 --first-hole 1 --last-hole 1 --autoplay --check-sync"
        " --time-scale 24 --max-seconds 150 < /dev/null > " +
        (root / "reports").string() + " 2> " + (root / "log").string());
    ASSERT_TRUE(nettest::WaitForLine(root / "log", "started Bob"));
    pid_t bob = -1;
    for (int i = 0; i < 100 && bob < 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        bob = ProcessIn(fs::absolute(root / "work" / "client-1"));
    }
    ASSERT_GT(bob, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));  // the match has begun
    ::kill(bob, SIGSTOP);
    // Ann plays the hole to its end without Bob; then Bob's stopped process is ended for good.
    EXPECT_TRUE(nettest::WaitForLine(root / "log", "Bob is taken out of the match", 60000));
    EXPECT_TRUE(nettest::WaitForLine(root / "reports", "\"type\":92", 60000));
    ::kill(bob, SIGKILL);
    ravelin.Wait(60);
    const std::vector<std::string> reports = Lines(root / "reports");
    EXPECT_EQ(Count(reports, R"("event":"removed","name":"Bob")"), 1u);
    EXPECT_EQ(Count(reports, "\"agree\":true"), 1u);
    if (!::testing::Test::HasFailure()) {
        fs::remove_all(root);
    }
}

}  // namespace
