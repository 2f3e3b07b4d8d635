#pragma once
// Runs the updater on a game directory: the window, the step timer, the downloads, the unpacking
// and the start of the lobby.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/zip_extract.h"

namespace updater {

struct UpdaterOptions {
    std::string gameFolder = ".";
    std::vector<std::string> lobbyArguments;  // passed on to the lobby as they stand
    std::chrono::milliseconds stepInterval{500};
    std::chrono::milliseconds stallLimit{30000};  // a download that receives nothing this long fails
    // A download that has not finished after this long fails, however steadily bytes trickle in.
    std::chrono::milliseconds downloadDeadline{std::chrono::minutes(20)};
    platform::UnpackLimits unpackLimits;
    // Certificate authorities trusted for HTTPS instead of the system's (tests); empty: the system's.
    std::string certificateAuthorities;
    bool showWindow = true;
    // True once the updater is asked to stop (SIGINT, SIGTERM): the running step is undone and the
    // updater ends without starting the lobby.
    std::function<bool()> stopRequested;
};

struct UpdaterOutcome {
    int exitStatus = 0;  // 0 when the lobby was started or the user closed the window, else 1
    bool lobbyStarted = false;
    bool stopped = false;                     // ended by a stop request
    std::string lastMessage;                  // what lblMsg showed at the end
    std::vector<std::string> versionsWalked;  // the versions whose packages were asked for
    bool packageUnpacked = false;
};

// Before anything else, an update that an earlier run left unfinished is finished or undone. Only
// one updater works on a game directory at a time; a second one ends at once with status 1.
UpdaterOutcome RunUpdater(const UpdaterOptions& options);

}  // namespace updater
