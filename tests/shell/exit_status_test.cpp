// The game's exit status tells whoever started it whether it could play: a game that cannot start
// (no option file, no match file) or cannot load its hole ends with 1.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tests/shell/game_directory.h"

namespace {

int RunGame(const std::string& name) {
    const std::string command =
        "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null BRIGHTLEA_LOBBY=" +
        (fs::current_path() / "no-lobby").string() + " BRIGHTLEA_INSTANCE=exit-status-" + name + "-" +
        std::to_string(getpid()) + " timeout 60 " BRIGHTLEA_BIN_DIR "/Brightlea WINDOWMODE >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(GameDirectory, AGameThatCannotStartOrLoadItsHoleEndsWithOne) {
    EXPECT_EQ(RunGame("empty"), 1);  // no Option.ini
    Write("Option.ini", "LANGUAGE ENG\r\n");
    EXPECT_EQ(RunGame("nomatch"), 1);  // no Info/ENG/Start.ini
    WriteAll();
    EXPECT_EQ(RunGame("nohole"), 1);  // everything but the hole's model
}

}  // namespace
