#pragma once
// The updater's step machine: set-up, then download, unpack, download, ... until a download or an
// unpacking fails, then start the lobby. These functions only change the state record; reading
// files, the transfer, the extraction and starting the lobby are done by the caller.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "updater/line_rules.h"

namespace updater {

enum UpdateStep : int {
    kStepDownload = 1,
    kStepUnpack = 2,
    kStepStartLobby = 3,
    kStepBusy = 99,
};

// The numbered message lines of "ATString.ini" the updater uses.
inline constexpr int kLineHost = 0;
inline constexpr int kLinePackagePrefix = 1;
inline constexpr int kLineDownloaded = 2;
inline constexpr int kLineDoneUpdated = 3;
inline constexpr int kLineDoneNothingNew = 4;
inline constexpr int kLineStarting = 5;
inline constexpr int kLineDownloading = 6;
inline constexpr int kLineCaption = 7;
inline constexpr int kMessageLinesNeeded = 8;
// Final status texts when the walk ended on a failure rather than on "no package for this
// version", and when no update server is set. Message files made before these lines existed
// lack them; an English text stands in then.
inline constexpr int kLineFailedUnreachable = 8;
inline constexpr int kLineFailedRefused = 9;
inline constexpr int kLineFailedTimedOut = 10;
inline constexpr int kLineFailedServerError = 11;
inline constexpr int kLineRefusedUntrusted = 12;
inline constexpr int kLineRefusedNotApplied = 13;
inline constexpr int kLineUpdatesOff = 14;

// Why the walk could not go on, each with its own message line.
enum class UpdateFailure {
    Unreachable = kLineFailedUnreachable,
    Refused = kLineFailedRefused,
    TimedOut = kLineFailedTimedOut,
    ServerError = kLineFailedServerError,
    Untrusted = kLineRefusedUntrusted,    // a signature or certificate that does not verify
    NotApplied = kLineRefusedNotApplied,  // the package could not be stored or applied
};

// Where the downloaded package is kept, relative to the game directory.
inline constexpr const char* kUpgradeFolder = "Upgrade";
inline constexpr const char* kPackagePath = "Upgrade/UpData.zip";

struct ProgressBar {
    int64_t max = 100;
    int64_t position = 0;
};

// What the updater's window shows.
struct TFmUpgrade {
    std::string caption;
    std::string lblMsg;
    std::string lblProgress;
    ProgressBar ProgressBar1;
    bool tmrDelayEnabled = true;  // the 500 ms step timer
};

struct UpdaterState {
    UpdateStep updateStep = kStepDownload;
    bool downloadOk = false;
    bool packageUnpacked = false;  // at least one package was unpacked in this run
    MessageTable messages;
    std::string language;
    std::string version;
    // The installation's own update server (an address the package folders lie under); empty:
    // message lines 0 and 1 give it, and when they give none either, updates are off.
    std::string updateServer;
    std::vector<std::string> versionsWalked;  // every version whose package was asked for
    std::string packageUrl;                   // the package the running download fetches
    std::vector<std::string> problems;        // for standard error; the caller empties it
    TFmUpgrade form;
};

// Reads a whole file by its path relative to the game directory; nothing when it cannot be read.
using ReadTextFile = std::function<std::optional<std::string>(const std::string& path)>;

// "Info/" + language + "/ATString.ini".
std::string MessageFilePath(const std::string& language);

// Start-up: language, message table, status text, caption. When "Option.ini" or the message file
// is missing, unreadable or too short, or the language is not made of letters and digits, the
// problem is shown in lblMsg and the next step starts the lobby.
void FormCreate(UpdaterState& state, const ReadTextFile& readFile);

// What would keep the updater from working on these files (the problem FormCreate or
// PrepareDownload would show), or an empty text when they read.
std::string SettingsProblem(const ReadTextFile& readFile);

// A problem that keeps the updater from working: shown in lblMsg (control characters escaped),
// kept for standard error with its detail (too long for the window), and the lobby is started on
// the next tick.
void GiveUp(UpdaterState& state, const std::string& problem, const std::string& detail = {});

// What a timer tick asks the caller to do.
enum class StepAction { None, Download, Unpack, StartLobby };

// One tick of the step timer. Download and unpack mark the step busy and stop the timer; the
// caller runs the step and reports its end below.
StepAction tmrDelayTimer(UpdaterState& state);

// Prepares the download of the installed version's package from the text of "Version.ini"
// (nothing when unreadable). Returns false, and goes on to start the lobby, when no update server is
// set (updates are off), when there is no version or it holds anything but printable ASCII (a
// problem shown in lblMsg) or when the version was already walked in this run (a package that names
// its own version again ends the walk); otherwise state.packageUrl is the address to fetch.
bool PrepareDownload(UpdaterState& state, const std::optional<std::string>& versionFileText);

// Progress of the running download; totalBytes is 0 while the size is unknown.
void DownloadProgress(UpdaterState& state, int64_t receivedBytes, int64_t totalBytes);
// End of the download: on success the next step unpacks; when the server has no package for this
// version the walk ends (the installation is up to date).
void DownloadFinished(UpdaterState& state, bool ok);
// The walk ends on a failure: its line is shown, the reason kept for standard error, and the
// lobby is started on the next tick.
void WalkFailed(UpdaterState& state, UpdateFailure failure, const std::string& reason);

// Progress of the extraction, 0 to 100.
void UnZipProgress(UpdaterState& state, int percent);
// End of the extraction: on success the next step downloads the next version's package,
// otherwise the walk ends on a package that could not be applied.
void UnpackFinished(UpdaterState& state, bool ok);

}  // namespace updater
