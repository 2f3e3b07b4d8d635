#pragma once
// Checking a staged package against the installation before anything of it is applied: every
// name must be a harmless path in the installation's code page, spelled the way the installation
// (or the package itself) already spells it, and the package's tree must fit the installation's
// (no file where a folder is, no folder where a file is, no folder that leads outside, no folder
// where one of the updater's own settings belongs).

#include <filesystem>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/zip_extract.h"

namespace updater {

// The updater's own work folder ("Upgrade"): packages may not write into it.
inline constexpr const char* kWorkFolder = "Upgrade";

struct PlannedFile {
    std::string stagedFile;  // the staged bytes
    std::string target;      // relative to the game directory, "/"-separated, in the installation's spelling
    bool replaces = false;   // something is at target now; it is moved to the backup first
    bool program = false;    // one of the installation's programs, which must stay executable
};

struct PackagePlan {
    std::vector<std::string> newFolders;  // relative, each after its parent
    std::vector<PlannedFile> files;       // one per target; of several entries for one target the last wins
};

// Plans the package for the game directory root. Returns an empty text and fills plan, or the
// printable reason why the package is refused.
std::string PlanPackage(const std::filesystem::path& root, const std::vector<platform::StagedEntry>& entries,
                        platform::CodePage codePage, PackagePlan& plan);

// True for the files the updater itself reads: "Option.ini", "Version.ini" and every language's
// "Info/<language>/ATString.ini", whatever the case of the name.
bool IsUpdaterSetting(const std::string& target);

// True for the programs of the installation (the game, the lobby, the updater) at its top level,
// whatever the case of the name.
bool IsInstallationProgram(const std::string& target);

}  // namespace updater
