#include "platform/zip_extract.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/printable_text.h"
#include "platform/zip_raw_names.h"

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

constexpr const char* kStopped = "stopped";

struct DeclaredEntry {
    zip_uint64_t index = 0;
    zip_uint64_t size = 0;
    StagedEntry staged;
};

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

std::string Quoted(std::string_view name) {
    return "\"" + PrintableName(name) + "\"";
}

// Packages made on Unix record the entry's file type; only plain files and folders are unpacked.
bool IsPlainFileOrFolder(zip_t* archive, zip_uint64_t index) {
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0) {
        return false;
    }
    if (system != ZIP_OPSYS_UNIX) {
        return true;
    }
    mode_t type = (attributes >> 16) & S_IFMT;
    return type == 0 || type == S_IFREG || type == S_IFDIR;
}

// The zip library read the same directory as the raw reader: the same entries, in the same order.
bool SameEntry(const zip_stat_t& stat, const RawEntry& raw) {
    return (stat.valid & ZIP_STAT_CRC) != 0 && (stat.valid & ZIP_STAT_COMP_SIZE) != 0 &&
           (stat.valid & ZIP_STAT_COMP_METHOD) != 0 && stat.crc == raw.crc && stat.size == raw.size &&
           stat.comp_size == raw.compressedSize && stat.comp_method == raw.method;
}

std::string Declare(zip_t* archive, const std::vector<RawEntry>& raw, const UnpackLimits& limits,
                    std::vector<DeclaredEntry>& declared, zip_uint64_t& total) {
    zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0 || static_cast<uint64_t>(count) > limits.maxEntries) {
        return "the package has more than " + std::to_string(limits.maxEntries) + " entries";
    }
    if (static_cast<uint64_t>(count) != raw.size()) {
        return "the package's directory reads two ways";
    }
    total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, index, ZIP_FL_ENC_RAW, &stat) != 0 || (stat.valid & ZIP_STAT_NAME) == 0 ||
            (stat.valid & ZIP_STAT_SIZE) == 0) {
            return "unreadable entry " + std::to_string(i);
        }
        if (!SameEntry(stat, raw[index])) {
            return "the package's directory reads two ways at entry " + std::to_string(i);
        }
        if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && stat.encryption_method != ZIP_EM_NONE) {
            return "entry " + Quoted(raw[index].name) + " is encrypted";
        }
        if (!IsPlainFileOrFolder(archive, index)) {
            return "entry " + Quoted(raw[index].name) + " is a link or a device, not a file";
        }
        DeclaredEntry entry;
        entry.index = index;
        entry.staged.name = raw[index].name;
        entry.staged.utf8Name = raw[index].utf8;
        std::string_view name = entry.staged.name;
        entry.staged.folder = !name.empty() && (name.back() == '/' || name.back() == '\\');
        entry.size = entry.staged.folder ? 0 : stat.size;
        if (entry.size > limits.maxTotalBytes - total) {
            return "the package unpacks to more than " + std::to_string(limits.maxTotalBytes) + " bytes";
        }
        total += entry.size;
        declared.push_back(std::move(entry));
    }
    return {};
}

std::string CheckRoom(const std::string& archivePath, const std::string& stagingFolder,
                      const UnpackLimits& limits, zip_uint64_t total) {
    std::error_code error;
    uintmax_t packageSize = fs::file_size(archivePath, error);
    if (error) {
        return "cannot read the package's size";
    }
    if (total / limits.maxExpansionFactor > packageSize) {
        return "the package declares " + std::to_string(total) + " bytes, more than " +
               std::to_string(limits.maxExpansionFactor) + " times its size";
    }
    fs::space_info space = fs::space(stagingFolder, error);
    if (error || space.available < total + limits.spareDiskBytes) {
        return "not enough free disk space for " + std::to_string(total) + " bytes";
    }
    return {};
}

// Writes one entry, never more than it declared, and flushes it to the disk.
std::string StageFile(zip_t* archive, const DeclaredEntry& entry, const UnpackCallbacks& callbacks,
                      ProgressReporter& progress) {
    EntryReader reader(zip_fopen_index(archive, entry.index, 0));
    if (!reader) {
        return "cannot read entry " + Quoted(entry.staged.name) + ": " + zip_strerror(archive);
    }
    std::unique_ptr<FILE, StdioCloser> out(std::fopen(entry.staged.stagedFile.c_str(), "wbx"));
    if (!out) {
        return "cannot write " + PrintableName(entry.staged.stagedFile);
    }
    std::vector<char> buffer(64 * 1024);
    zip_uint64_t written = 0;
    for (;;) {
        if (callbacks.keepGoing && !callbacks.keepGoing()) {
            return kStopped;
        }
        zip_int64_t got = zip_fread(reader.get(), buffer.data(), buffer.size());
        if (got < 0) {
            return "damaged entry " + Quoted(entry.staged.name) + ": " + zip_file_strerror(reader.get());
        }
        if (got == 0) {
            break;
        }
        auto bytes = static_cast<zip_uint64_t>(got);
        if (bytes > entry.size - written) {
            return "entry " + Quoted(entry.staged.name) + " holds more than the " +
                   std::to_string(entry.size) + " bytes it declares";
        }
        if (std::fwrite(buffer.data(), 1, bytes, out.get()) != bytes) {
            return "cannot write " + PrintableName(entry.staged.stagedFile);
        }
        written += bytes;
        progress.Add(bytes);
    }
    if (written != entry.size) {
        return "damaged entry " + Quoted(entry.staged.name) + ": shorter than declared";
    }
    if (std::fflush(out.get()) != 0 || fsync(fileno(out.get())) != 0 || std::fclose(out.release()) != 0) {
        return "cannot write " + PrintableName(entry.staged.stagedFile);
    }
    return {};
}

}  // namespace

UnpackResult UnpackToStaging(const std::string& archivePath, const std::string& stagingFolder,
                             const UnpackLimits& limits, const UnpackCallbacks& callbacks) {
    UnpackResult result;
    int openError = 0;
    Archive archive(zip_open(archivePath.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &openError));
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, openError);
        result.failure = "not a readable package: " + std::string(zip_error_strerror(&error));
        zip_error_fini(&error);
        return result;
    }
    std::optional<std::vector<RawEntry>> raw = ReadRawEntries(archivePath, limits.maxEntries, result.failure);
    if (!raw) {
        return result;
    }
    std::vector<DeclaredEntry> declared;
    zip_uint64_t total = 0;
    result.failure = Declare(archive.get(), *raw, limits, declared, total);
    if (result.failure.empty()) {
        result.failure = CheckRoom(archivePath, stagingFolder, limits, total);
    }
    if (!result.failure.empty()) {
        return result;
    }
    ProgressReporter reporter(callbacks.progress, total);
    reporter.Add(0);
    for (DeclaredEntry& entry : declared) {
        if (!entry.staged.folder) {
            entry.staged.stagedFile = (fs::path(stagingFolder) / std::to_string(entry.index)).string();
            result.failure = StageFile(archive.get(), entry, callbacks, reporter);
            result.stopped = result.failure == kStopped;
            if (!result.failure.empty()) {
                return result;
            }
        }
        result.entries.push_back(std::move(entry.staged));
    }
    result.ok = true;
    return result;
}

}  // namespace platform
