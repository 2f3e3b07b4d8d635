#include "platform/zip_extract.h"

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "platform/zip_entry_name.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct FileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using EntryReader = std::unique_ptr<zip_file_t, FileCloser>;

struct StdioCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

struct PlannedEntry {
    zip_uint64_t index = 0;
    EntryKind kind = EntryKind::File;
    fs::path target;
    fs::path temporary;
    zip_uint64_t size = 0;
    fs::perms permissions = fs::perms::none;  // none: keep the old file's, or the default
};

// The permission bits a package made on a Unix system records for an entry (programs keep their
// execute bits); none for packages made elsewhere.
fs::perms RecordedPermissions(zip_t* archive, zip_uint64_t index) {
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0 ||
        system != ZIP_OPSYS_UNIX) {
        return fs::perms::none;
    }
    return static_cast<fs::perms>((attributes >> 16) & 0755);
}

// What the new file gets: the package's permissions, else those of the file it replaces.
fs::perms PermissionsFor(const PlannedEntry& entry) {
    if (entry.permissions != fs::perms::none) {
        return entry.permissions | fs::perms::owner_read | fs::perms::owner_write;
    }
    std::error_code error;
    fs::file_status old = fs::status(entry.target, error);
    if (!error && fs::is_regular_file(old)) {
        return old.permissions();
    }
    return fs::perms::none;
}

bool SameIgnoringAsciiCase(const std::string& a, const std::string& b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// Packages are made where file names ignore case: each part of the path that does not exist as
// written takes the spelling of an existing file or folder that differs only in case.
fs::path MatchExistingCase(const fs::path& root, const std::string& relative) {
    fs::path path = root;
    for (const fs::path& part : fs::path(relative)) {
        fs::path exact = path / part;
        std::error_code error;
        if (!fs::exists(fs::symlink_status(exact, error)) && fs::is_directory(path, error)) {
            for (const fs::directory_entry& item : fs::directory_iterator(path, error)) {
                if (SameIgnoringAsciiCase(item.path().filename().string(), part.string())) {
                    exact = item.path();
                    break;
                }
            }
        }
        path = exact;
    }
    return path;
}

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

// Reports whole percentages, each once.
class ProgressReporter {
  public:
    ProgressReporter(const std::function<void(int)>& report, zip_uint64_t total)
        : report_(report), total_(total) {}
    void Add(zip_uint64_t bytes) {
        done_ += bytes;
        int percent = total_ == 0 ? 100 : static_cast<int>(std::min<zip_uint64_t>(done_ * 100 / total_, 100));
        if (percent != last_ && report_) {
            last_ = percent;
            report_(percent);
        }
    }

  private:
    const std::function<void(int)>& report_;
    zip_uint64_t total_;
    zip_uint64_t done_ = 0;
    int last_ = -1;
};

std::string Plan(zip_t* archive, const fs::path& root, std::vector<PlannedEntry>& plan) {
    zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW, &stat) != 0 ||
            (stat.valid & ZIP_STAT_NAME) == 0 || (stat.valid & ZIP_STAT_SIZE) == 0) {
            return "unreadable entry " + std::to_string(i);
        }
        EntryPath checked = CheckEntryName(stat.name);
        if (checked.kind == EntryKind::Refused) {
            return std::string("entry name leaves the game directory: ") + stat.name;
        }
        PlannedEntry entry;
        entry.index = static_cast<zip_uint64_t>(i);
        entry.kind = checked.kind;
        entry.target = MatchExistingCase(root, checked.path);
        entry.size = stat.size;
        entry.permissions = RecordedPermissions(archive, entry.index);
        if (!StaysInside(root, entry.target)) {
            return std::string("entry leads outside the game directory: ") + stat.name;
        }
        std::error_code error;
        fs::file_status existing = fs::status(entry.target, error);
        bool isFolder = fs::is_directory(existing);
        if (fs::exists(existing) && (entry.kind == EntryKind::Folder) != isFolder) {
            return std::string("entry would replace a ") + (isFolder ? "folder" : "file") + ": " + stat.name;
        }
        if (entry.kind == EntryKind::File) {
            entry.temporary = entry.target;
            entry.temporary += ".unpack-" + std::to_string(i);
        }
        plan.push_back(entry);
    }
    return {};
}

std::string WriteEntry(zip_t* archive, const PlannedEntry& entry, ProgressReporter& progress) {
    std::error_code error;
    fs::create_directories(entry.temporary.parent_path(), error);
    if (error) {
        return "cannot create " + entry.temporary.parent_path().string() + ": " + error.message();
    }
    EntryReader reader(zip_fopen_index(archive, entry.index, 0));
    if (!reader) {
        return std::string("cannot read an entry: ") + zip_strerror(archive);
    }
    fs::remove(entry.temporary, error);  // left over from an interrupted run
    std::unique_ptr<FILE, StdioCloser> out(std::fopen(entry.temporary.c_str(), "wbx"));
    if (!out) {
        return "cannot write " + entry.temporary.string();
    }
    std::vector<char> buffer(64 * 1024);
    zip_uint64_t written = 0;
    for (;;) {
        zip_int64_t got = zip_fread(reader.get(), buffer.data(), buffer.size());
        if (got < 0) {
            return std::string("damaged entry: ") + zip_file_strerror(reader.get());
        }
        if (got == 0) {
            break;
        }
        if (std::fwrite(buffer.data(), 1, static_cast<size_t>(got), out.get()) != static_cast<size_t>(got)) {
            return "cannot write " + entry.temporary.string();
        }
        written += static_cast<zip_uint64_t>(got);
        progress.Add(static_cast<zip_uint64_t>(got));
    }
    if (written != entry.size) {
        return "damaged entry: " + entry.target.string();
    }
    if (std::fclose(out.release()) != 0) {
        return "cannot write " + entry.temporary.string();
    }
    fs::perms permissions = PermissionsFor(entry);
    if (permissions != fs::perms::none) {
        fs::permissions(entry.temporary, permissions, error);
    }
    return {};
}

void RemoveTemporaries(const std::vector<PlannedEntry>& plan) {
    for (const PlannedEntry& entry : plan) {
        if (!entry.temporary.empty()) {
            std::error_code ignored;
            fs::remove(entry.temporary, ignored);
        }
    }
}

std::string WriteAll(zip_t* archive, const std::vector<PlannedEntry>& plan, ProgressReporter& progress) {
    for (const PlannedEntry& entry : plan) {
        std::error_code error;
        if (entry.kind == EntryKind::Folder) {
            fs::create_directories(entry.target, error);
            if (error) {
                return "cannot create " + entry.target.string() + ": " + error.message();
            }
            continue;
        }
        std::string failure = WriteEntry(archive, entry, progress);
        if (!failure.empty()) {
            return failure;
        }
    }
    return {};
}

std::string RenameAll(const std::vector<PlannedEntry>& plan) {
    for (const PlannedEntry& entry : plan) {
        if (entry.kind != EntryKind::File) {
            continue;
        }
        std::error_code error;
        fs::rename(entry.temporary, entry.target, error);
        if (error) {
            return "cannot replace " + entry.target.string() + ": " + error.message();
        }
    }
    return {};
}

}  // namespace

ZipExtractResult ExtractZip(const std::string& archivePath, const std::string& targetFolder,
                            const std::function<void(int percent)>& progress) {
    ZipExtractResult result;
    int openError = 0;
    Archive archive(zip_open(archivePath.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &openError));
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, openError);
        result.failure = "not a readable package: " + std::string(zip_error_strerror(&error));
        zip_error_fini(&error);
        return result;
    }
    std::error_code error;
    fs::path root = fs::canonical(targetFolder, error);
    if (error) {
        result.failure = "no game directory " + targetFolder;
        return result;
    }
    std::vector<PlannedEntry> plan;
    result.failure = Plan(archive.get(), root, plan);
    if (!result.failure.empty()) {
        return result;
    }
    zip_uint64_t total = 0;
    for (const PlannedEntry& entry : plan) {
        total += entry.size;
    }
    ProgressReporter reporter(progress, total);
    reporter.Add(0);
    result.failure = WriteAll(archive.get(), plan, reporter);
    if (result.failure.empty()) {
        result.failure = RenameAll(plan);
    }
    RemoveTemporaries(plan);
    result.ok = result.failure.empty();
    return result;
}

}  // namespace platform
