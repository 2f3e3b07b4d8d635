#include "package_maker.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

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
    Put16(out, 20);    // version needed
    Put16(out, 0);     // flags
    Put16(out, 0);     // stored
    Put16(out, 0);     // time
    Put16(out, 0x21);  // date: 1980-01-01
    Put32(out, crc);
    Put32(out, static_cast<uint32_t>(entry.data.size()));
    Put32(out, static_cast<uint32_t>(entry.data.size()));
    Put16(out, static_cast<uint32_t>(entry.name.size()));
    Put16(out, 0);  // extra length
}

}  // namespace

std::string MakeStoredZip(const std::vector<PackageEntry>& entries) {
    std::string out;
    std::string central;
    for (const PackageEntry& entry : entries) {
        uint32_t offset = static_cast<uint32_t>(out.size());
        Put32(out, 0x04034b50);
        PutCommonHeader(out, entry);
        out += entry.name;
        out += entry.data;

        Put32(central, 0x02014b50);
        Put16(central, 20);  // made by
        PutCommonHeader(central, entry);
        Put16(central, 0);  // comment length
        Put16(central, 0);  // disk
        Put16(central, 0);  // internal attributes
        Put32(central, 0);  // external attributes
        Put32(central, offset);
        central += entry.name;
    }
    uint32_t centralOffset = static_cast<uint32_t>(out.size());
    out += central;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<uint32_t>(entries.size()));
    Put16(out, static_cast<uint32_t>(entries.size()));
    Put32(out, static_cast<uint32_t>(central.size()));
    Put32(out, centralOffset);
    Put16(out, 0);
    return out;
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
