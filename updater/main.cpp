// Mendler: brings the installation up to date from the update server, then starts the lobby with
// the arguments it was given.

#include <string>

#include "platform/process_start.h"
#include "updater/update_run.h"

int main(int argc, char** argv) {
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
