#pragma once
// Runs the updater on a game directory: the window, the step timer, the downloads, the unpacking
// and the start of the lobby.

#include <chrono>
#include <string>
#include <vector>

namespace updater {

struct UpdaterOptions {
    std::string gameFolder = ".";
    std::vector<std::string> lobbyArguments;  // passed on to the lobby as they stand
    std::chrono::milliseconds stepInterval{500};
    std::chrono::milliseconds stallLimit{30000};  // a download that receives nothing this long fails
    bool showWindow = true;
};

struct UpdaterOutcome {
    int exitStatus = 0;  // 0 when the lobby was started or the user closed the window, else 1
    bool lobbyStarted = false;
    std::string lastMessage;                  // what lblMsg showed at the end
    std::vector<std::string> versionsWalked;  // the versions whose packages were asked for
    bool packageUnpacked = false;
};

UpdaterOutcome RunUpdater(const UpdaterOptions& options);

}  // namespace updater
