// Ravelin's exit status and what it leaves behind, with a client program that fails.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "tests/course/hole_files.h"

namespace fs = std::filesystem;

namespace {

TEST(RavelinExit, AClientThatFailsMakesRavelinFailAndNothingIsLeftBehind) {
    const fs::path root =
        fs::temp_directory_path() / ("brightlea-exit-" + std::to_string(std::random_device{}()));
    fs::create_directories(root / "data" / "Info" / "ENG");
    fs::create_directories(root / "runtime");
    std::ofstream(root / "data" / "Option.ini") << "LANGUAGE ENG\n";
    fixtures::WriteHoleFiles(root / "data", 1, 1);
    const fs::path client = root / "failing-client";
    {
        // Takes its single-instance lock the way the game does (a file named by BRIGHTLEA_INSTANCE),
        // then fails.
        std::ofstream script(client);
        script << "#!/bin/sh\ntouch \"$XDG_RUNTIME_DIR/brightlea-$BRIGHTLEA_INSTANCE.lock\"\nexit 4\n";
    }
    fs::permissions(client, fs::perms::owner_all);
    const std::string command =
        "XDG_RUNTIME_DIR=" + (root / "runtime").string() + " " BRIGHTLEA_BIN_DIR "/Ravelin --data " +
        (root / "data").string() + " --client " + client.string() + " --work " + (root / "work").string() +
        " --max-seconds 60 --players Ann,Bob < /dev/null > /dev/null 2> " + (root / "log").string();
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 4);

    int leftInRuntime = 0;
    for (const auto& entry : fs::directory_iterator(root / "runtime")) {
        ADD_FAILURE() << "left behind: " << entry.path();
        ++leftInRuntime;
    }
    EXPECT_EQ(leftInRuntime, 0);
    for (const auto& entry : fs::recursive_directory_iterator(root / "work")) {
        EXPECT_FALSE(entry.is_socket()) << "socket left behind: " << entry.path();
    }
    fs::remove_all(root);
}

}  // namespace
