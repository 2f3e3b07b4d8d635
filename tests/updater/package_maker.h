#pragma once
// Makes update packages and scratch game directories for the updater's tests.

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct PackageEntry {
    std::string name;  // stored as it stands, backslashes and ".." included
    std::string data;
    bool damaged = false;  // stored with a wrong checksum
};

// A zip archive with uncompressed entries, written byte by byte.
std::string MakeStoredZip(const std::vector<PackageEntry>& entries);

// A zip archive with deflated entries made by the "zip" tool from files of the given names
// ("/"-separated) and contents.
std::string MakeDeflatedZip(const std::vector<PackageEntry>& files);

// A fresh, empty folder under the system's temporary folder, removed again at the end.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

std::string ReadFileText(const std::filesystem::path& path);
void WriteFileText(const std::filesystem::path& path, const std::string& text);

}  // namespace testing_support
