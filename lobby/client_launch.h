#pragma once
// Starting one game client: its environment (lobby socket, instance name, time scale, built-in
// player, state log, screenshots) and its process in its own game directory.

#include <filesystem>
#include <string>

#include "lobby/ravelin_options.h"

namespace lobby {

struct ClientLaunch {
    std::string program;
    std::filesystem::path dir;  // the client's game directory
    std::string lobbyPath;      // the socket it connects to
    std::string instance;       // its single-instance name
    std::filesystem::path stateLog;
    std::string captureName;  // the sub-folder of --capture for this client
};

// Starts the client; its process id, or -1 with error set.
int LaunchClient(const RavelinOptions& options, const ClientLaunch& launch, std::string& error);

// The program clients are started with: --client, else Brightlea beside Ravelin.
std::string ClientProgram(const RavelinOptions& options);

}  // namespace lobby
