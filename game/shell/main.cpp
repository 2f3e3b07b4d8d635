// Entry point of the game client.
#include <cstdio>
#include <cstring>

#include "game/shell/entry.h"
#include "game/shell/version.h"

int main(int argc, char** argv) {
    // The game's own command line is empty or WINDOWMODE; --version alone only reports the version.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("Brightlea %s\n", shell::GameVersion());
        return 0;
    }
    return shell::RunBrightlea(argc, argv);
}
