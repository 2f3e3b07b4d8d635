#pragma once
// The journal of a package being applied, kept in "Upgrade/Journal.txt" from before the first
// change to the installation until the last: the staging folder, the folders the package creates
// and, for each file, where its new bytes wait and whether an old file is moved aside. A journal
// found at start-up tells how to finish or undo an interrupted update.
//
// Text form, one item a line:
//   Brightlea update journal
//   state applying|committed
//   staging <folder relative to the game directory>
//   folder <relative path>                      (one per created folder, parents first)
//   file <0|1: replaces> <staged name> <relative target>
//   end

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace updater {

inline constexpr const char* kJournalPath = "Upgrade/Journal.txt";

struct JournalFile {
    std::string staged;  // the new bytes' name inside the staging folder
    std::string target;  // relative to the game directory
    bool replaces = false;
};

struct UpdateJournal {
    bool committed = false;  // every file is in place: finish rather than undo
    std::string staging;     // relative to the game directory
    std::vector<std::string> newFolders;
    std::vector<JournalFile> files;
};

std::string JournalText(const UpdateJournal& journal);

// Nothing when the text is not a whole journal or names a path outside the game directory.
std::optional<UpdateJournal> ParseJournal(std::string_view text);

// Where the old file of files[index] is kept while the package is applied, inside the staging folder.
std::string BackupName(size_t index);

}  // namespace updater
