#pragma once
// Applying an update package as one transaction: every entry is unpacked into a staging folder in
// the updater's work folder and checked there; then, with a journal written first, each replaced
// file is moved aside and the new one moved in. Any failure or a stop request moves everything
// back, and a journal left by a killed run is finished or undone at the next start, so the
// installation is always the old version or the new one.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/zip_extract.h"

namespace updater {

struct InstallCallbacks {
    std::function<void(int percent)> progress;  // of the unpacking, 0 to 100
    std::function<bool()> keepGoing;            // false stops and undoes the transaction
};

struct InstallResult {
    bool ok = false;
    bool stopped = false;  // keepGoing asked to stop; unless undoPending nothing of the package was kept
    // Moving the package back failed; the journal stays and the next start finishes undoing it.
    bool undoPending = false;
    std::string failure;  // printable
};

// A file the updater itself writes in the same transaction as the package (the installation's
// update settings when the package hands on a new key).
struct OwnFile {
    std::string target;  // relative to the game directory
    std::string bytes;
};

// Applies the package at archivePath to the game directory root (canonical), together with
// ownFiles. The installation's texts are in codePage, which the entry names must fit.
InstallResult InstallPackage(const std::filesystem::path& root, const std::string& archivePath,
                             platform::CodePage codePage, const platform::UnpackLimits& limits,
                             const InstallCallbacks& callbacks, const std::vector<OwnFile>& ownFiles = {});

// Finishes (when every file was in place) or undoes the update an interrupted run left in root, and
// removes its staging folders. Returns an empty text, or the printable problem when the journal
// cannot be read or a file cannot be moved back; the journal then stays for the next start.
std::string RecoverInterruptedUpdate(const std::filesystem::path& root);

}  // namespace updater
