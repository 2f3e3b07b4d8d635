// Mendler: brings the installation up to date from the update server, then starts the lobby with
// the arguments it was given.

#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

#include "brightlea_version.h"
#include "platform/printable_text.h"
#include "platform/process.h"
#include "platform/process_start.h"
#include "updater/command_line.h"
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
    platform::CatchStopSignals();
    options.stopRequested = [] { return platform::StopSignalCount() > 0; };
    try {
        return updater::RunUpdater(options).exitStatus;
    } catch (const std::exception& failure) {
        std::cerr << "Mendler: " << platform::WithoutControlBytes(failure.what()) << '\n';
    } catch (...) {
        std::cerr << "Mendler: unexpected failure\n";
    }
    // Whatever went wrong, the player still gets the lobby.
    std::string started =
        platform::StartProgram(options.gameFolder, updater::kLobbyProgram, options.lobbyArguments);
    return started.empty() ? 0 : 1;
}
