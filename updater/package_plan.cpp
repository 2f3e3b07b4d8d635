#include "updater/package_plan.h"

#include <algorithm>
#include <map>
#include <set>

#include "platform/printable_text.h"
#include "platform/process_start.h"
#include "platform/zip_entry_name.h"
#include "updater/command_line.h"

namespace updater {

namespace fs = std::filesystem;

namespace {

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return text;
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "/" + name;
}

std::string Quoted(const std::string& name) {
    return "\"" + platform::PrintableName(name) + "\"";
}

// The entry's name as the installation's code page spells it; false when it cannot be spelled so.
bool NameInCodePage(const platform::StagedEntry& entry, platform::CodePage codePage, std::string& name) {
    if (entry.utf8Name) {
        size_t badOffset = 0;
        return platform::Utf8ToCodePage(entry.name, codePage, name, badOffset);
    }
    static const std::string kReplacement = "\xEF\xBF\xBD";
    if (platform::CodePageToUtf8(entry.name, codePage).find(kReplacement) != std::string::npos) {
        return false;
    }
    name = entry.name;
    return true;
}

// Finds the spelling of each path part: the one this package already used for it, else that of an
// existing file or folder whose name differs only in case, else the package's own.
class Speller {
  public:
    explicit Speller(const fs::path& root) : root_(root) {}

    std::string Spell(const std::string& relative) {
        std::string spelled;
        for (const fs::path& part : fs::path(relative)) {
            std::string written = part.string();
            std::string key = LowerAscii(Join(spelled, written));
            auto known = chosen_.find(key);
            if (known == chosen_.end()) {
                known = chosen_.emplace(key, Join(spelled, ExistingSpelling(spelled, written))).first;
            }
            spelled = known->second;
        }
        return spelled;
    }

  private:
    std::string ExistingSpelling(const std::string& folder, const std::string& written) {
        std::error_code error;
        if (fs::exists(fs::symlink_status(root_ / folder / written, error))) {
            return written;
        }
        auto listed = listings_.find(folder);
        if (listed == listings_.end()) {
            std::map<std::string, std::string> names;
            for (const fs::directory_entry& item : fs::directory_iterator(root_ / folder, error)) {
                std::string name = item.path().filename().string();
                names.emplace(LowerAscii(name), name);
            }
            listed = listings_.emplace(folder, std::move(names)).first;
        }
        auto found = listed->second.find(LowerAscii(written));
        return found == listed->second.end() ? written : found->second;
    }

    fs::path root_;
    std::map<std::string, std::string> chosen_;  // lower-cased path -> spelling
    std::map<std::string, std::map<std::string, std::string>> listings_;
};

// True when path, with every link along it followed, still lies inside root (already canonical).
bool StaysInside(const fs::path& root, const fs::path& path) {
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(path, error);
    if (error) {
        return false;
    }
    auto [rootEnd, pathIt] = std::mismatch(root.begin(), root.end(), resolved.begin(), resolved.end());
    return rootEnd == root.end();
}

struct Tree {
    std::vector<std::string> folders;  // in the order first met, each after its parent
    std::map<std::string, bool> isFolder;

    // Records path as a folder or a file; false when the package already has it as the other.
    bool Add(const std::string& path, bool folder) {
        auto [at, added] = isFolder.emplace(path, folder);
        if (added && folder) {
            folders.push_back(path);
        }
        return at->second == folder;
    }
};

std::string CheckFolders(const fs::path& root, const Tree& tree, PackagePlan& plan) {
    std::set<std::string> created;
    for (const std::string& folder : tree.folders) {
        fs::path parent = fs::path(folder).parent_path();
        if (created.count(parent.string()) != 0) {
            created.insert(folder);
            plan.newFolders.push_back(folder);
            continue;
        }
        std::error_code error;
        fs::file_status existing = fs::symlink_status(root / folder, error);
        if (!fs::exists(existing)) {
            created.insert(folder);
            plan.newFolders.push_back(folder);
        } else if (!fs::is_directory(fs::status(root / folder, error))) {
            return "the package needs a folder where the file " + Quoted(folder) + " is";
        } else if (!StaysInside(root, root / folder)) {
            return "the folder " + Quoted(folder) + " leads outside the game directory";
        }
    }
    return {};
}

std::string CheckFile(const fs::path& root, PlannedFile& file) {
    std::error_code error;
    fs::file_status existing = fs::symlink_status(root / file.target, error);
    if (fs::is_directory(existing)) {
        return "the package has a file where the folder " + Quoted(file.target) + " is";
    }
    if (fs::exists(existing) && !fs::is_regular_file(existing) && !fs::is_symlink(existing)) {
        return Quoted(file.target) + " is neither a file nor a folder";
    }
    if (fs::is_symlink(existing) && fs::is_directory(fs::status(root / file.target, error))) {
        return "the package has a file where the folder " + Quoted(file.target) + " is";
    }
    file.replaces = fs::exists(existing);
    file.program = IsInstallationProgram(file.target);
    return {};
}

}  // namespace

bool IsUpdaterSetting(const std::string& target) {
    std::vector<std::string> parts;
    for (const fs::path& part : fs::path(LowerAscii(target))) {
        parts.push_back(part.string());
    }
    if (parts.size() == 1) {
        return parts[0] == "option.ini" || parts[0] == "version.ini";
    }
    return parts.size() == 3 && parts[0] == "info" && parts[2] == "atstring.ini";
}

bool IsInstallationProgram(const std::string& target) {
    std::string lower = LowerAscii(target);
    for (const char* program : {kLobbyProgram, "Mendler.exe", "Brightlea.exe"}) {
        if (lower == LowerAscii(platform::ProgramFileName(program))) {
            return true;
        }
    }
    return false;
}

std::string PlanPackage(const fs::path& root, const std::vector<platform::StagedEntry>& entries,
                        platform::CodePage codePage, PackagePlan& plan) {
    Speller speller(root);
    Tree tree;
    std::vector<PlannedFile> files;
    for (const platform::StagedEntry& entry : entries) {
        std::string name;
        platform::EntryPath checked = platform::CheckEntryName(entry.name);
        if (checked.kind == platform::EntryKind::Refused) {
            return "entry name " + Quoted(entry.name) + " is not a path inside the game directory";
        }
        if (!NameInCodePage(entry, codePage, name)) {
            return "entry name " + Quoted(entry.name) + " is not valid in the installation's code page";
        }
        if (entry.utf8Name) {
            checked = platform::CheckEntryName(name);
        }
        std::string path = speller.Spell(checked.path);
        if (path.empty()) {
            continue;  // the game directory itself
        }
        if (LowerAscii(fs::path(path).begin()->string()) == LowerAscii(kWorkFolder)) {
            return "entry " + Quoted(entry.name) + " would write into the updater's work folder";
        }
        fs::path parent;
        for (const fs::path& part : fs::path(path).parent_path()) {
            parent /= part;
            if (!tree.Add(parent.string(), true)) {
                return "the package has " + Quoted(parent.string()) + " as a file and as a folder";
            }
        }
        if (!tree.Add(path, checked.kind == platform::EntryKind::Folder)) {
            return "the package has " + Quoted(path) + " as a file and as a folder";
        }
        if (checked.kind == platform::EntryKind::File) {
            files.push_back(PlannedFile{entry.stagedFile, path});
        }
    }
    for (const std::string& folder : tree.folders) {
        if (IsUpdaterSetting(folder)) {
            return "the package puts a folder where the updater's setting " + Quoted(folder) + " belongs";
        }
    }
    std::string failure = CheckFolders(root, tree, plan);
    if (!failure.empty()) {
        return failure;
    }
    std::map<std::string, size_t> byPlace;  // the same file reached by two spellings or through a link
    for (PlannedFile& file : files) {
        failure = CheckFile(root, file);
        if (!failure.empty()) {
            return failure;
        }
        // Every parent folder was checked above, so the place lies inside the game directory.
        std::error_code error;
        fs::path target(file.target);
        fs::path place = fs::weakly_canonical(root / target.parent_path(), error) / target.filename();
        auto [at, added] = byPlace.emplace(place.string(), plan.files.size());
        if (added) {
            plan.files.push_back(file);
        } else {
            plan.files[at->second].stagedFile = file.stagedFile;
        }
    }
    return {};
}

}  // namespace updater
