// Mendler: brings the installation up to date from the update server, then starts the lobby with
// the arguments it was given.

#include <cstdio>
#include <cstring>
#include <string>

#include "brightlea_version.h"
#include "platform/process_start.h"
#include "updater/update_run.h"

int main(int argc, char** argv) {
    // --version alone reports the version; every other command line goes on to the lobby.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("Mendler %s\n", BRIGHTLEA_VERSION);
        return 0;
    }
    updater::UpdaterOptions options;
    std::string folder = platform::RunningProgramFolder();
    if (!folder.empty()) {
        options.gameFolder = folder;
    }
    for (int i = 1; i < argc; ++i) {
        options.lobbyArguments.emplace_back(argv[i]);
    }
    return updater::RunUpdater(options).exitStatus;
}
