#include "updater/update_steps.h"

#include <algorithm>

#include "platform/printable_text.h"
#include "updater/package_address.h"
#include "updater/progress_text.h"

namespace updater {

namespace {

void ShowLine(UpdaterState& state, int line) {
    state.form.lblMsg = MessageLine(state.messages, line);
}

bool IsAsciiLetterOrDigit(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// A version names a folder on the update server: printable ASCII without blanks.
bool IsReadableVersion(const std::string& version) {
    return !version.empty() &&
           std::all_of(version.begin(), version.end(), [](char c) { return c > ' ' && c < 0x7F; });
}

// Shown when a message file made before the failure lines existed lacks them.
const char* StandInText(int line) {
    switch (line) {
        case kLineFailedUnreachable:
            return "Update check failed: server not reachable.";
        case kLineFailedRefused:
            return "Update check failed: connection refused.";
        case kLineFailedTimedOut:
            return "Update check failed: no answer in time.";
        case kLineFailedServerError:
            return "Update check failed: the server sent an error.";
        case kLineRefusedUntrusted:
            return "Update refused: it could not be verified.";
        case kLineRefusedNotApplied:
            return "Update refused: the package could not be applied.";
        default:
            return "Updates are off: no update server is set.";
    }
}

void ShowLineOrStandIn(UpdaterState& state, int line) {
    ShowLine(state, line);
    if (state.form.lblMsg.empty()) {
        state.form.lblMsg = StandInText(line);
    }
}

void StartLobbyNext(UpdaterState& state) {
    state.updateStep = kStepStartLobby;
    state.form.tmrDelayEnabled = true;
}

// No further package: show how the walk went and start the lobby on the next tick.
void EndWalk(UpdaterState& state) {
    ShowLine(state, state.packageUnpacked ? kLineDoneUpdated : kLineDoneNothingNew);
    StartLobbyNext(state);
}

}  // namespace

void GiveUp(UpdaterState& state, const std::string& problem, const std::string& detail) {
    state.form.lblMsg = platform::WithoutControlBytes(problem);
    state.problems.push_back(detail.empty() ? problem : problem + ": " + detail);
    StartLobbyNext(state);
}

void WalkFailed(UpdaterState& state, UpdateFailure failure, const std::string& reason) {
    ShowLineOrStandIn(state, static_cast<int>(failure));
    state.problems.push_back(reason);
    StartLobbyNext(state);
}

std::string MessageFilePath(const std::string& language) {
    return "Info/" + language + "/ATString.ini";
}

void FormCreate(UpdaterState& state, const ReadTextFile& readFile) {
    state.packageUnpacked = false;
    state.updateStep = kStepDownload;
    state.form.tmrDelayEnabled = true;

    std::optional<std::string> option = readFile("Option.ini");
    if (!option) {
        GiveUp(state, "Cannot read Option.ini");
        return;
    }
    state.language = LanguageFromOptionFile(*option);
    if (state.language.empty()) {
        GiveUp(state, "Option.ini has no LANGUAGE line");
        return;
    }
    if (!std::all_of(state.language.begin(), state.language.end(), IsAsciiLetterOrDigit)) {
        GiveUp(state, "Option.ini names no valid language");
        return;
    }
    std::string messagePath = MessageFilePath(state.language);
    std::optional<std::string> messages = readFile(messagePath);
    if (!messages) {
        GiveUp(state, "Cannot read " + messagePath);
        return;
    }
    state.messages = ParseMessageTable(*messages);
    if (state.messages.size() < static_cast<size_t>(kMessageLinesNeeded)) {
        GiveUp(state, messagePath + " has fewer than 8 message lines");
        return;
    }
    ShowLine(state, kLineStarting);
    state.form.caption = MessageLine(state.messages, kLineCaption);
}

std::string SettingsProblem(const ReadTextFile& readFile) {
    UpdaterState trial;
    FormCreate(trial, readFile);
    if (trial.problems.empty()) {
        PrepareDownload(trial, readFile("Version.ini"));
    }
    return trial.problems.empty() ? std::string() : trial.problems.front();
}

StepAction tmrDelayTimer(UpdaterState& state) {
    if (!state.form.tmrDelayEnabled) {
        return StepAction::None;
    }
    switch (state.updateStep) {
        case kStepDownload:
            state.updateStep = kStepBusy;
            state.form.tmrDelayEnabled = false;
            return StepAction::Download;
        case kStepUnpack:
            state.updateStep = kStepBusy;
            state.form.tmrDelayEnabled = false;
            return StepAction::Unpack;
        case kStepStartLobby:
            state.updateStep = kStepBusy;
            state.form.tmrDelayEnabled = false;
            return StepAction::StartLobby;
        default:
            return StepAction::None;
    }
}

bool PrepareDownload(UpdaterState& state, const std::optional<std::string>& versionFileText) {
    const std::string& host = MessageLine(state.messages, kLineHost);
    const std::string& prefix = MessageLine(state.messages, kLinePackagePrefix);
    std::optional<std::string> source =
        state.updateServer.empty() ? PackageFolderAddress(host, prefix) : state.updateServer;
    if (!source) {
        ShowLineOrStandIn(state, kLineUpdatesOff);
        state.problems.push_back("updates are off: no update server is set");
        StartLobbyNext(state);
        return false;
    }
    state.version = versionFileText ? VersionFromFile(*versionFileText) : std::string();
    if (state.version.empty()) {
        GiveUp(state, "Version.ini is missing or names no version");
        return false;
    }
    if (!IsReadableVersion(state.version)) {
        GiveUp(state, "Version.ini names no readable version");
        return false;
    }
    auto& walked = state.versionsWalked;
    if (std::find(walked.begin(), walked.end(), state.version) != walked.end()) {
        state.problems.push_back("the package for version " + state.version + " names that version again");
        EndWalk(state);
        return false;
    }
    walked.push_back(state.version);
    state.packageUrl = PackageUrl(*source, state.version);
    state.downloadOk = true;
    return true;
}

void DownloadProgress(UpdaterState& state, int64_t receivedBytes, int64_t totalBytes) {
    ShowLine(state, kLineDownloading);
    state.form.ProgressBar1.max = totalBytes;
    state.form.ProgressBar1.position = receivedBytes;
    state.form.lblProgress = DownloadProgressText(receivedBytes, totalBytes);
}

void DownloadFinished(UpdaterState& state, bool ok) {
    state.downloadOk = ok;
    if (!ok) {
        EndWalk(state);
        return;
    }
    ShowLine(state, kLineDownloaded);
    state.updateStep = kStepUnpack;
    state.form.tmrDelayEnabled = true;
}

void UnZipProgress(UpdaterState& state, int percent) {
    state.form.ProgressBar1.max = 101;
    state.form.ProgressBar1.position = percent & 0xFF;
    state.form.lblProgress = UnpackProgressText(percent & 0xFF);
}

void UnpackFinished(UpdaterState& state, bool ok) {
    if (!ok) {
        ShowLineOrStandIn(state, kLineRefusedNotApplied);
        StartLobbyNext(state);
        return;
    }
    state.packageUnpacked = true;
    state.updateStep = kStepDownload;
    state.form.tmrDelayEnabled = true;
}

}  // namespace updater
