#include "package_maker.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "updater/signature_file.h"

namespace testing_support {

namespace fs = std::filesystem;

namespace {

uint32_t Crc32(const std::string& data) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) {
        crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

void Put16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// The fields shared by local and central headers, from "version needed" to "extra length".
void PutCommonHeader(std::string& out, const PackageEntry& entry) {
    uint32_t crc = Crc32(entry.data) ^ (entry.damaged ? 1u : 0u);
    Put16(out, 20);                      // version needed
    Put16(out, entry.utf8 ? 0x800 : 0);  // flags
    Put16(out, 0);                       // stored
    Put16(out, 0);                       // time
    Put16(out, 0x21);                    // date: 1980-01-01
    Put32(out, crc);
    Put32(out, static_cast<uint32_t>(entry.data.size()));
    Put32(out, static_cast<uint32_t>(entry.data.size()));
    Put16(out, static_cast<uint32_t>(entry.name.size()));
    Put16(out, 0);  // extra length
}

}  // namespace

std::string MakeStoredZip(const std::vector<PackageEntry>& entries, bool zip64End) {
    std::string out;
    std::string central;
    for (const PackageEntry& entry : entries) {
        uint32_t offset = static_cast<uint32_t>(out.size());
        Put32(out, 0x04034b50);
        PutCommonHeader(out, entry);
        out += entry.name;
        out += entry.data;

        Put32(central, 0x02014b50);
        Put16(central, entry.unixMode != 0 ? (3 << 8) | 20 : 20);  // made by (3: Unix)
        PutCommonHeader(central, entry);
        Put16(central, 0);  // comment length
        Put16(central, 0);  // disk
        Put16(central, 0);  // internal attributes
        Put32(central, entry.unixMode << 16);
        Put32(central, offset);
        central += entry.name;
    }
    uint32_t centralOffset = static_cast<uint32_t>(out.size());
    out += central;
    uint32_t count = static_cast<uint32_t>(entries.size());
    if (zip64End) {
        // The zip64 end record and its locator hold the directory's place; the end record only
        // the markers that send a reader there.
        uint32_t zip64Offset = static_cast<uint32_t>(out.size());
        Put32(out, 0x06064b50);
        Put32(out, 44);  // size of the rest of the record
        Put32(out, 0);
        Put16(out, 45);  // made by
        Put16(out, 45);  // needed
        Put32(out, 0);   // this disk
        Put32(out, 0);   // the directory's disk
        for (uint32_t value : {count, count, static_cast<uint32_t>(central.size()), centralOffset}) {
            Put32(out, value);
            Put32(out, 0);
        }
        Put32(out, 0x07064b50);
        Put32(out, 0);
        Put32(out, zip64Offset);
        Put32(out, 0);
        Put32(out, 1);
    }
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, zip64End ? 0xFFFF : count);
    Put16(out, zip64End ? 0xFFFF : count);
    Put32(out, zip64End ? 0xFFFFFFFF : static_cast<uint32_t>(central.size()));
    Put32(out, zip64End ? 0xFFFFFFFF : centralOffset);
    Put16(out, 0);
    return out;
}

TestKey TestKey::Make() {
    TestKey key;
    platform::MakeKeyPair(key.publicKey, key.secretKey);
    return key;
}

std::string SignatureFor(const std::string& packageBytes, const std::string& appliesTo, const TestKey& key,
                         const std::optional<platform::PublicKey>& nextKey) {
    ScratchFolder scratch;
    fs::path package = scratch.Path() / "UpData.zip";
    WriteFileText(package, packageBytes);
    updater::SignatureFile file;
    file.statement = platform::SignedStatement{appliesTo, nextKey};
    std::string failure;
    std::optional<platform::Signature> signature =
        platform::SignPackage(package.string(), file.statement, key.secretKey, failure);
    if (!signature) {
        throw std::runtime_error("cannot sign: " + failure);
    }
    file.signature = *signature;
    return updater::SignatureFileText(file);
}

std::string MakeDeflatedZip(const std::vector<PackageEntry>& files) {
    ScratchFolder scratch;
    fs::path content = scratch.Path() / "content";
    for (const PackageEntry& file : files) {
        fs::create_directories((content / file.name).parent_path());
        WriteFileText(content / file.name, file.data);
    }
    fs::path archive = scratch.Path() / "package.zip";
    std::string command = "cd '" + content.string() + "' && zip -q -r -9 '" + archive.string() + "' .";
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("zip failed: " + command);
    }
    return ReadFileText(archive);
}

uint32_t Get32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes.at(at + static_cast<size_t>(i)));
    }
    return value;
}

void Set32(std::string& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) {
        bytes.at(at + i) = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

void SetDeclaredSize(std::string& zipBytes, const std::string& name, uint32_t size) {
    const std::string signature("PK\x01\x02", 4);
    for (size_t at = zipBytes.find(signature); at != std::string::npos;
         at = zipBytes.find(signature, at + 4)) {
        uint32_t nameLength = Get32(zipBytes, at + 28) & 0xFFFF;
        if (zipBytes.compare(at + 46, nameLength, name) == 0) {
            Set32(zipBytes, at + 24, size);
            Set32(zipBytes, Get32(zipBytes, at + 42) + 22, size);
            return;
        }
    }
    throw std::runtime_error("no entry " + name);
}

std::map<std::string, std::string> TreeSnapshot(const fs::path& root, const std::set<std::string>& skip) {
    std::map<std::string, std::string> tree;
    for (auto item = fs::recursive_directory_iterator(root); item != fs::recursive_directory_iterator();
         ++item) {
        std::string relative = fs::relative(item->path(), root).string();
        if (skip.count(relative) != 0) {
            item.disable_recursion_pending();
            continue;
        }
        fs::file_status status = item->symlink_status();
        std::string mode = std::to_string(static_cast<int>(status.permissions()));
        if (fs::is_symlink(status)) {
            tree[relative] = "link " + fs::read_symlink(item->path()).string();
        } else if (fs::is_directory(status)) {
            tree[relative] = "folder " + mode;
        } else {
            tree[relative] = "file " + mode + " " + ReadFileText(item->path());
        }
    }
    return tree;
}

ScratchFolder::ScratchFolder() {
    std::random_device random;
    path_ = fs::temp_directory_path() /
            ("brightlea-updater-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string ReadFileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFileText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

}  // namespace testing_support
