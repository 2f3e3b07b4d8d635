#include "updater/update_run.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <thread>

#include "platform/form_window.h"
#include "platform/http_download.h"
#include "platform/process_start.h"
#include "platform/text_out.h"
#include "platform/zip_extract.h"
#include "updater/command_line.h"
#include "updater/form_drawing.h"
#include "updater/update_steps.h"

namespace updater {

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

std::optional<std::string> ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return text;
}

// Write errors are not checked here: a package that was not stored whole fails to unpack.
void StorePackage(const fs::path& path, const std::string& body) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(body.data(), static_cast<std::streamsize>(body.size()));
}

struct Session {
    const UpdaterOptions& options;
    UpdaterState state;
    platform::FormWindow* window = nullptr;
    FormPicture shown;  // what the window shows now
    bool closed = false;

    fs::path Game(const std::string& relative) const { return fs::path(options.gameFolder) / relative; }

    void ReportProblems() {
        for (const std::string& problem : state.problems) {
            std::cerr << "Mendler: " << problem << '\n';
        }
        state.problems.clear();
    }

    // Redraws when something visible changed and handles waiting window events.
    void Refresh(int waitMs) {
        if (window == nullptr) {
            return;
        }
        FormPicture wanted = PictureOf(state.form);
        if (wanted != shown) {
            shown = wanted;
            platform::SetFormCaption(*window, CaptionUtf8(state.form, state.language));
            DrawUpgradeForm(platform::FormPicture(*window), shown, state.language);
            platform::ShowFormPicture(*window);
        }
        if (!platform::PumpFormEvents(*window, waitMs)) {
            closed = true;
        }
    }

    void Download() {
        if (!PrepareDownload(state, ReadWholeFile(Game("Version.ini")))) {
            return;
        }
        std::error_code ignored;
        fs::create_directories(Game(kUpgradeFolder), ignored);
        platform::HttpGetOptions get;
        get.stallLimit = options.stallLimit;
        get.progress = [this](int64_t received, int64_t total) {
            DownloadProgress(state, received, total);
            Refresh(0);
            return !closed;
        };
        platform::HttpGetResult result = platform::HttpGet(state.packageUrl, get);
        StorePackage(Game(kPackagePath), result.body);
        if (!result.ok) {
            state.problems.push_back("no package from " + state.packageUrl + ": " + result.failure);
        }
        DownloadFinished(state, result.ok);
    }

    void Unpack() {
        platform::ZipExtractResult result =
            platform::ExtractZip(Game(kPackagePath).string(), options.gameFolder, [this](int percent) {
                UnZipProgress(state, percent);
                Refresh(0);
            });
        if (!result.ok) {
            state.problems.push_back("package for version " + state.version +
                                     " not unpacked: " + result.failure);
        }
        UnpackFinished(state, result.ok);
    }

    bool StartLobby() {
        std::string failure =
            platform::StartProgram(options.gameFolder, kLobbyProgram, options.lobbyArguments);
        if (!failure.empty()) {
            state.problems.push_back(failure);
            return false;
        }
        return true;
    }
};

}  // namespace

UpdaterOutcome RunUpdater(const UpdaterOptions& options) {
    Session session{options};
    FormCreate(session.state, [&](const std::string& path) { return ReadWholeFile(session.Game(path)); });
    session.ReportProblems();
    if (options.showWindow) {
        session.window = platform::OpenFormWindow(kFormWidth, kFormHeight);
    }
    UpdaterOutcome outcome;
    Clock::time_point nextTick = Clock::now() + options.stepInterval;
    while (!session.closed) {
        auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextTick - Clock::now());
        if (session.window != nullptr) {
            session.Refresh(static_cast<int>(std::max<int64_t>(wait.count(), 0)));
        } else if (wait.count() > 0) {
            std::this_thread::sleep_for(wait);
        }
        if (session.closed || Clock::now() < nextTick) {
            continue;
        }
        StepAction action = tmrDelayTimer(session.state);
        if (action == StepAction::Download) {
            session.Download();
        } else if (action == StepAction::Unpack) {
            session.Unpack();
        } else if (action == StepAction::StartLobby) {
            outcome.lobbyStarted = session.StartLobby();
            outcome.exitStatus = outcome.lobbyStarted ? 0 : 1;
            session.ReportProblems();
            break;
        }
        session.ReportProblems();
        nextTick = Clock::now() + options.stepInterval;
    }
    platform::CloseFormWindow(session.window);
    platform::ReleaseTextFonts();
    outcome.lastMessage = session.state.form.lblMsg;
    outcome.versionsWalked = session.state.versionsWalked;
    outcome.packageUnpacked = session.state.packageUnpacked;
    return outcome;
}

}  // namespace updater
