#include "updater/package_transaction.h"

#include <random>
#include <set>

#include "platform/durable_files.h"
#include "platform/printable_text.h"
#include "updater/package_plan.h"
#include "updater/update_journal.h"
#include "updater/update_steps.h"
#include "updater/whole_file.h"

namespace updater {

namespace fs = std::filesystem;

namespace {

constexpr const char* kStagingPrefix = "Staging-";

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

// Renames, or adds a printable problem to failure.
void Move(const fs::path& from, const fs::path& to, std::string& failure) {
    std::error_code error;
    fs::rename(from, to, error);
    if (error && failure.empty()) {
        failure = "cannot move " + platform::PrintableName(from.string()) + " to " +
                  platform::PrintableName(to.string()) + ": " + error.message();
    }
}

// A folder of a name no other run uses, in the work folder.
fs::path MakeStagingFolder(const fs::path& root, std::string& failure) {
    std::error_code error;
    fs::create_directories(root / kWorkFolder, error);
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = kStagingPrefix + std::to_string(random()) + "-" + std::to_string(random());
        fs::path folder = root / kWorkFolder / name;
        if (fs::create_directory(folder, error)) {
            return folder;
        }
    }
    failure = "cannot create a staging folder in " + std::string(kWorkFolder) + ": " + error.message();
    return {};
}

// Moves every new file back to the staging folder and every old file back to its place, last
// first, then removes the folders the package created. Each step looks at what is where, so
// undoing an undo that was itself interrupted is safe.
std::string RollBack(const fs::path& root, const UpdateJournal& journal) {
    std::string failure;
    fs::path staging = root / journal.staging;
    for (size_t i = journal.files.size(); i-- > 0;) {
        const JournalFile& file = journal.files[i];
        fs::path target = root / file.target;
        if (!Exists(staging / file.staged) && Exists(target)) {
            Move(target, staging / file.staged, failure);
        }
        if (file.replaces && Exists(staging / BackupName(i))) {
            Move(staging / BackupName(i), target, failure);
        }
    }
    for (auto folder = journal.newFolders.rbegin(); folder != journal.newFolders.rend(); ++folder) {
        std::error_code ignored;
        fs::remove(root / *folder, ignored);  // only when empty: it holds nothing of the old version
    }
    return failure;
}

// Moves in every new file that is still waiting, the old one aside first.
std::string RollForward(const fs::path& root, const UpdateJournal& journal) {
    std::string failure;
    fs::path staging = root / journal.staging;
    for (const std::string& folder : journal.newFolders) {
        std::error_code ignored;
        fs::create_directory(root / folder, ignored);
    }
    for (size_t i = 0; i < journal.files.size(); ++i) {
        const JournalFile& file = journal.files[i];
        fs::path target = root / file.target;
        if (!Exists(staging / file.staged)) {
            continue;
        }
        if (file.replaces && !Exists(staging / BackupName(i)) && Exists(target)) {
            Move(target, staging / BackupName(i), failure);
        }
        Move(staging / file.staged, target, failure);
    }
    return failure;
}

// Removes the staging folder (with the old files) and then the journal.
void Finish(const fs::path& root, const UpdateJournal& journal) {
    std::error_code ignored;
    fs::remove_all(root / journal.staging, ignored);
    fs::remove(root / kJournalPath, ignored);
    platform::SyncPath(root / kWorkFolder);
}

// Flushes the names of every folder the transaction changed, so that the committed journal never
// reaches the disk before the moves it records.
bool SyncChangedFolders(const fs::path& root, const UpdateJournal& journal) {
    std::set<fs::path> folders{root / journal.staging};
    for (const JournalFile& file : journal.files) {
        folders.insert((root / file.target).parent_path());
    }
    for (const std::string& folder : journal.newFolders) {
        folders.insert((root / folder).parent_path());
    }
    for (const fs::path& folder : folders) {
        if (!platform::SyncPath(folder)) {
            return false;
        }
    }
    return true;
}

UpdateJournal JournalOf(const fs::path& root, const fs::path& staging, const PackagePlan& plan) {
    UpdateJournal journal;
    journal.staging = fs::relative(staging, root).string();
    journal.newFolders = plan.newFolders;
    for (const PlannedFile& file : plan.files) {
        journal.files.push_back(
            JournalFile{fs::path(file.stagedFile).filename().string(), file.target, file.replaces});
    }
    return journal;
}

InstallResult Undo(const fs::path& root, const UpdateJournal& journal, InstallResult result) {
    std::string failure = RollBack(root, journal);
    if (!failure.empty()) {
        result.failure += "; undoing it failed, to be retried at the next start: " + failure;
        result.undoPending = true;
        return result;
    }
    Finish(root, journal);
    return result;
}

InstallResult Apply(const fs::path& root, UpdateJournal journal, const InstallCallbacks& callbacks) {
    InstallResult result;
    if (!platform::SyncPath(root / journal.staging) ||
        !platform::ReplaceFileDurably(root / kJournalPath, JournalText(journal))) {
        result.failure = "cannot write the update journal";
        std::error_code ignored;
        fs::remove_all(root / journal.staging, ignored);
        return result;
    }
    for (const std::string& folder : journal.newFolders) {
        std::error_code error;
        fs::create_directory(root / folder, error);
        if (error) {
            result.failure = "cannot create " + platform::PrintableName(folder) + ": " + error.message();
            return Undo(root, journal, result);
        }
    }
    fs::path staging = root / journal.staging;
    for (size_t i = 0; i < journal.files.size(); ++i) {
        if (callbacks.keepGoing && !callbacks.keepGoing()) {
            result.stopped = true;
            result.failure = "stopped";
            return Undo(root, journal, result);
        }
        const JournalFile& file = journal.files[i];
        if (file.replaces) {
            Move(root / file.target, staging / BackupName(i), result.failure);
        }
        if (result.failure.empty()) {
            Move(staging / file.staged, root / file.target, result.failure);
        }
        if (!result.failure.empty()) {
            return Undo(root, journal, result);
        }
    }
    journal.committed = true;
    if (!SyncChangedFolders(root, journal) ||
        !platform::ReplaceFileDurably(root / kJournalPath, JournalText(journal))) {
        journal.committed = false;
        result.failure = "cannot record the finished update";
        return Undo(root, journal, result);
    }
    Finish(root, journal);
    result.ok = true;
    return result;
}

void SetModes(const PackagePlan& plan) {
    constexpr fs::perms kOrdinary =
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;
    constexpr fs::perms kProgram =
        kOrdinary | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    for (const PlannedFile& file : plan.files) {
        std::error_code ignored;
        fs::permissions(file.stagedFile, file.program ? kProgram : kOrdinary, ignored);
    }
}

// The updater's settings as they would read once the plan is applied.
ReadTextFile SettingsAfter(const fs::path& root, const PackagePlan& plan) {
    return [&root, &plan](const std::string& path) {
        for (auto file = plan.files.rbegin(); file != plan.files.rend(); ++file) {
            if (file->target == path) {
                return ReadWholeFile(file->stagedFile);
            }
        }
        return ReadWholeFile(root / path);
    };
}

// Settings that read now must still read after the package, or the updater would stop working
// for good: such a package is refused and the updater keeps the settings it has.
std::string CheckSettings(const fs::path& root, const PackagePlan& plan) {
    auto before = [&root](const std::string& path) { return ReadWholeFile(root / path); };
    if (!SettingsProblem(before).empty()) {
        return {};
    }
    std::string after = SettingsProblem(SettingsAfter(root, plan));
    return after.empty() ? after : "the package would leave the updater's settings unreadable: " + after;
}

// Staging folders of runs that were killed while unpacking, and a journal that was being written.
void RemoveLeftovers(const fs::path& root) {
    std::error_code error;
    fs::remove(root / (std::string(kJournalPath) + ".new"), error);
    for (const fs::directory_entry& item : fs::directory_iterator(root / kWorkFolder, error)) {
        if (item.path().filename().string().rfind(kStagingPrefix, 0) == 0) {
            std::error_code ignored;
            fs::remove_all(item.path(), ignored);
        }
    }
}

// Stages the updater's own files beside the package's and plans them last.
std::string AddOwnFiles(const fs::path& root, const fs::path& staging, const std::vector<OwnFile>& ownFiles,
                        PackagePlan& plan) {
    for (size_t i = 0; i < ownFiles.size(); ++i) {
        fs::path staged = staging / ("own-" + std::to_string(i));
        if (!platform::ReplaceFileDurably(staged, ownFiles[i].bytes)) {
            return "cannot write " + platform::PrintableName(staged.string());
        }
        plan.files.push_back(
            PlannedFile{staged.string(), ownFiles[i].target, Exists(root / ownFiles[i].target)});
    }
    return {};
}

}  // namespace

InstallResult InstallPackage(const fs::path& root, const std::string& archivePath,
                             platform::CodePage codePage, const platform::UnpackLimits& limits,
                             const InstallCallbacks& callbacks, const std::vector<OwnFile>& ownFiles) {
    InstallResult result;
    fs::path staging = MakeStagingFolder(root, result.failure);
    if (staging.empty()) {
        return result;
    }
    platform::UnpackResult unpacked =
        platform::UnpackToStaging(archivePath, staging.string(), limits,
                                  platform::UnpackCallbacks{callbacks.progress, callbacks.keepGoing});
    PackagePlan plan;
    if (!unpacked.ok) {
        result.failure = unpacked.failure;
        result.stopped = unpacked.stopped;
    } else {
        result.failure = PlanPackage(root, unpacked.entries, codePage, plan);
    }
    if (result.failure.empty()) {
        result.failure = CheckSettings(root, plan);
    }
    if (result.failure.empty()) {
        result.failure = AddOwnFiles(root, staging, ownFiles, plan);
    }
    if (!result.failure.empty()) {
        std::error_code ignored;
        fs::remove_all(staging, ignored);
        return result;
    }
    SetModes(plan);
    return Apply(root, JournalOf(root, staging, plan), callbacks);
}

std::string RecoverInterruptedUpdate(const fs::path& root) {
    fs::path journalPath = root / kJournalPath;
    if (Exists(journalPath)) {
        std::optional<std::string> text = ReadWholeFile(journalPath);
        std::optional<UpdateJournal> journal = text ? ParseJournal(*text) : std::nullopt;
        if (!journal) {
            return std::string("the update journal ") + kJournalPath +
                   " is damaged; the interrupted update cannot be finished or undone";
        }
        std::string failure = journal->committed ? RollForward(root, *journal) : RollBack(root, *journal);
        if (!failure.empty()) {
            return "the interrupted update could not be " +
                   std::string(journal->committed ? "finished: " : "undone: ") + failure;
        }
        Finish(root, *journal);
    }
    RemoveLeftovers(root);
    return {};
}

}  // namespace updater
