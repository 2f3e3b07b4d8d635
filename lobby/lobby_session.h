#pragma once
// One run of the lobby: makes the clients' game directories and sockets, starts the
// clients and relays their traffic until every client has ended.

#include <filesystem>
#include <string>

#include "lobby/ravelin_options.h"

namespace lobby {

// Runs the match; returns the process exit code: 0 when every client ran and ended, 1 when the time
// limit stopped them, 2 when the match could not be set up or a client could not be started, 3
// when the clients' state logs (--check-sync) differ.
int RunLobby(const RavelinOptions& options);

// The game data the clients share: --data, else the current directory when it holds "Option.ini",
// else "../gamedata" beside Ravelin.
std::filesystem::path GameDataDirectory(const RavelinOptions& options);

}  // namespace lobby
