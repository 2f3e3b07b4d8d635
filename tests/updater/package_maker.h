#pragma once
// Makes update packages and scratch game directories for the updater's tests.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/package_signature.h"

namespace testing_support {

struct PackageEntry {
    std::string name;  // stored as it stands, backslashes and ".." included
    std::string data;
    bool damaged = false;   // stored with a wrong checksum
    uint32_t unixMode = 0;  // stored as made on Unix with this file type and mode (0: made elsewhere)
    bool utf8 = false;      // the name is marked as UTF-8
};

inline constexpr uint32_t kUnixLink = 0120777;

// A zip archive with uncompressed entries, written byte by byte; with zip64End the directory's
// place is given by zip64 end records, as archives of very many entries give it.
std::string MakeStoredZip(const std::vector<PackageEntry>& entries, bool zip64End = false);

// A zip archive with deflated entries made by the "zip" tool from files of the given names
// ("/"-separated) and contents.
std::string MakeDeflatedZip(const std::vector<PackageEntry>& files);

// Changes the uncompressed size that the package declares for the entry of that name, in both its
// headers, leaving the data as it is.
void SetDeclaredSize(std::string& zipBytes, const std::string& name, uint32_t size);

// Every file, folder and link below root with its type, mode and contents (links: their target),
// by relative path; paths in `skip` (and everything below them) are left out.
std::map<std::string, std::string> TreeSnapshot(const std::filesystem::path& root,
                                                const std::set<std::string>& skip = {});

// A key pair for signing test packages.
struct TestKey {
    platform::PublicKey publicKey{};
    platform::SecretKey secretKey{};
    static TestKey Make();
};

// The text of "UpData.zip.sig" for the package's bytes, signed as the package for installed
// version appliesTo, optionally handing on the next key.
std::string SignatureFor(const std::string& packageBytes, const std::string& appliesTo, const TestKey& key,
                         const std::optional<platform::PublicKey>& nextKey = std::nullopt);

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
