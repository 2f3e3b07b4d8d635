#include "updater/update_run.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <thread>

#include "platform/form_window.h"
#include "platform/http_download.h"
#include "platform/instance_lock.h"
#include "platform/printable_text.h"
#include "platform/process_start.h"
#include "platform/text_out.h"
#include "updater/command_line.h"
#include "updater/form_drawing.h"
#include "updater/package_address.h"
#include "updater/package_transaction.h"
#include "updater/signature_file.h"
#include "updater/update_settings.h"
#include "updater/update_steps.h"
#include "updater/whole_file.h"

namespace updater {

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// How a failed transfer is told to the player; a missing package is no failure.
UpdateFailure FailureOf(platform::HttpFailure kind) {
    switch (kind) {
        case platform::HttpFailure::Unreachable:
            return UpdateFailure::Unreachable;
        case platform::HttpFailure::Refused:
            return UpdateFailure::Refused;
        case platform::HttpFailure::TimedOut:
            return UpdateFailure::TimedOut;
        case platform::HttpFailure::Untrusted:
            return UpdateFailure::Untrusted;
        case platform::HttpFailure::Local:
            return UpdateFailure::NotApplied;
        default:
            return UpdateFailure::ServerError;
    }
}

// Holds the lock that keeps a second updater off the same game directory.
class DirectoryLock {
  public:
    explicit DirectoryLock(const fs::path& root)
        : lock_(platform::AcquireInstanceLock(
              ("mendler-" + std::to_string(std::hash<std::string>{}(root.string()))).c_str())) {}
    ~DirectoryLock() { platform::ReleaseInstanceLock(lock_); }
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;
    bool Held() const { return lock_ != nullptr; }

  private:
    platform::InstanceLock* lock_;
};

fs::path CanonicalFolder(const std::string& folder) {
    std::error_code error;
    fs::path canonical = fs::canonical(folder, error);
    return error ? fs::path(folder) : canonical;
}

struct Session {
    const UpdaterOptions& options;
    fs::path root = CanonicalFolder(options.gameFolder);
    UpdaterState state;
    platform::FormWindow* window = nullptr;
    FormPicture shown;  // what the window shows now
    bool closed = false;
    bool stopped = false;      // a stop request has undone a step
    bool undoPending = false;  // a package could not be moved back; the next start undoes it
    UpdateSettings settings;   // the installation's update server and key
    std::optional<platform::PublicKey> handedOnKey;  // the verified package's next key, if any

    fs::path Game(const std::string& relative) const { return root / relative; }

    bool StopRequested() const { return stopped || (options.stopRequested && options.stopRequested()); }
    bool KeepGoing() const { return !closed && !StopRequested(); }

    void ReportProblems() {
        for (const std::string& problem : state.problems) {
            std::cerr << "Mendler: " << platform::WithoutControlBytes(problem) << '\n';
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
        get.deadline = options.downloadDeadline;
        get.certificateAuthorities = options.certificateAuthorities;
        get.progress = [this](int64_t received, int64_t total) {
            DownloadProgress(state, received, total);
            Refresh(0);
            return KeepGoing();
        };
        platform::HttpGetResult result =
            platform::HttpGetToFile(state.packageUrl, Game(kPackagePath).string(), get);
        if (!result.ok && result.kind != platform::HttpFailure::NotFound) {
            WalkFailed(state, FailureOf(result.kind),
                       "the update could not be checked at " + state.packageUrl + ": " + result.failure);
            return;
        }
        if (!result.ok) {
            state.problems.push_back("no package for version " + state.version + " at " + state.packageUrl);
            DownloadFinished(state, false);
            return;
        }
        std::string refusal = CheckSignature(get);
        if (!refusal.empty()) {
            WalkFailed(
                state, UpdateFailure::Untrusted,
                "the package for version " + state.version + " is refused before unpacking: " + refusal);
            return;
        }
        DownloadFinished(state, true);
    }

    // Fetches the package's signature and checks it with the installation's key against the
    // installed version. Returns the reason for refusing the package, or an empty text.
    std::string CheckSignature(platform::HttpGetOptions get) {
        handedOnKey.reset();
        if (!settings.key) {
            return std::string("this installation has no update key (") + kUpdateSettingsPath + ")";
        }
        get.maxBodyBytes = kSignatureFileMaxBytes;
        std::string signatureUrl = SignatureUrl(state.packageUrl);
        platform::HttpGetResult fetched = platform::HttpGet(signatureUrl, get);
        if (fetched.kind == platform::HttpFailure::NotFound) {
            return "it is not signed (no " + signatureUrl + ")";
        }
        if (!fetched.ok) {
            return "its signature could not be fetched: " + fetched.failure;
        }
        std::string problem;
        std::optional<SignatureFile> file = ParseSignatureFile(fetched.body, problem);
        if (!file) {
            return "its signature is malformed: " + problem;
        }
        if (file->statement.appliesTo != state.version) {
            return "it is signed for version " + file->statement.appliesTo + ", not for the installed " +
                   state.version + " (an old package offered again?)";
        }
        platform::SignedStatement statement{state.version, file->statement.nextKey};
        if (!platform::VerifyPackage(Game(kPackagePath).string(), statement, file->signature, *settings.key,
                                     problem)) {
            return problem;
        }
        handedOnKey = file->statement.nextKey;
        return {};
    }

    void Unpack() {
        InstallCallbacks callbacks;
        callbacks.progress = [this](int percent) {
            UnZipProgress(state, percent);
            Refresh(0);
        };
        callbacks.keepGoing = [this] { return KeepGoing(); };
        // A package that hands on a new key changes the installation's key in the same transaction.
        std::vector<OwnFile> ownFiles;
        UpdateSettings next = settings;
        if (handedOnKey) {
            next.key = handedOnKey;
            ownFiles.push_back(OwnFile{kUpdateSettingsPath, UpdateSettingsText(next)});
        }
        InstallResult result = InstallPackage(root, Game(kPackagePath).string(), FormCodePage(state.language),
                                              options.unpackLimits, callbacks, ownFiles);
        if (result.ok) {
            settings = next;
        }
        if (!result.ok) {
            state.problems.push_back("package for version " + state.version +
                                     " not applied: " + result.failure);
        }
        stopped = stopped || result.stopped;
        undoPending = undoPending || result.undoPending;
        UnpackFinished(state, result.ok);
    }

    bool StartLobby() {
        std::string failure = platform::StartProgram(root.string(), kLobbyProgram, options.lobbyArguments);
        if (!failure.empty()) {
            state.problems.push_back(failure);
            return false;
        }
        return true;
    }

    // Reads the installation's update settings; none at all is fine (no server, no key). Returns
    // the problem when the file is there but does not read.
    std::string ReadSettings() {
        fs::path path = Game(kUpdateSettingsPath);
        std::error_code error;
        if (!fs::exists(fs::symlink_status(path, error))) {
            return {};
        }
        std::optional<std::string> text = ReadWholeFile(path);
        std::string problem = "not a plain file that can be read";
        std::optional<UpdateSettings> read = text ? ParseUpdateSettings(*text, problem) : std::nullopt;
        if (!read) {
            return problem;
        }
        settings = *read;
        state.updateServer = settings.server;
        return {};
    }

    // What a stop left, as it is: a package being moved in when the stop came was either moved
    // back or had already been finished.
    std::string StopReport() const {
        std::optional<std::string> versionText = ReadWholeFile(Game("Version.ini"));
        std::string version = platform::WithoutControlBytes(versionText ? VersionFromFile(*versionText) : "");
        if (undoPending) {
            return "stopped; the package could not be moved back yet, the next start finishes undoing it";
        }
        if (state.packageUnpacked) {
            return "stopped after the installation was brought to version " + version;
        }
        return "stopped; the installation was left as it was (version " + version + ")";
    }

    // Runs the step machine until the lobby is started, the window is closed or a stop is asked.
    void RunSteps(UpdaterOutcome& outcome) {
        Clock::time_point nextTick = Clock::now() + options.stepInterval;
        while (!closed) {
            if (StopRequested()) {
                outcome.stopped = true;
                outcome.exitStatus = 1;
                std::cerr << "Mendler: " << StopReport() << '\n';
                return;
            }
            auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextTick - Clock::now());
            if (window != nullptr) {
                Refresh(static_cast<int>(std::clamp<int64_t>(wait.count(), 0, 100)));
            } else if (wait.count() > 0) {
                std::this_thread::sleep_for(std::min(wait, std::chrono::milliseconds(100)));
            }
            if (closed || Clock::now() < nextTick) {
                continue;
            }
            StepAction action = tmrDelayTimer(state);
            if (action == StepAction::Download) {
                Download();
            } else if (action == StepAction::Unpack) {
                Unpack();
            } else if (action == StepAction::StartLobby) {
                outcome.lobbyStarted = StartLobby();
                outcome.exitStatus = outcome.lobbyStarted ? 0 : 1;
                ReportProblems();
                return;
            }
            ReportProblems();
            nextTick = Clock::now() + options.stepInterval;
        }
    }
};

}  // namespace

UpdaterOutcome RunUpdater(const UpdaterOptions& options) {
    UpdaterOutcome outcome;
    Session session{options};
    DirectoryLock lock(session.root);
    if (!lock.Held()) {
        std::cerr << "Mendler: another updater is working on "
                  << platform::WithoutControlBytes(session.root.string()) << '\n';
        outcome.exitStatus = 1;
        return outcome;
    }
    std::string recoveryProblem = RecoverInterruptedUpdate(session.root);
    FormCreate(session.state, [&](const std::string& path) { return ReadWholeFile(session.Game(path)); });
    if (!recoveryProblem.empty()) {
        GiveUp(session.state, "An interrupted update could not be completed", recoveryProblem);
    } else if (std::string problem = session.ReadSettings(); !problem.empty()) {
        GiveUp(session.state, std::string("Cannot read ") + kUpdateSettingsPath, problem);
    }
    session.ReportProblems();
    if (options.showWindow) {
        session.window = platform::OpenFormWindow(kFormWidth, kFormHeight);
    }
    session.RunSteps(outcome);
    platform::CloseFormWindow(session.window);
    platform::ReleaseTextFonts();
    outcome.lastMessage = session.state.form.lblMsg;
    outcome.versionsWalked = session.state.versionsWalked;
    outcome.packageUnpacked = session.state.packageUnpacked;
    return outcome;
}

}  // namespace updater
