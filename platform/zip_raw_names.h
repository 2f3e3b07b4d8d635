#pragma once
// The entry names of a zip archive exactly as its central directory stores them. The zip library
// turns a NUL inside a name into a blank before anyone sees it, so "Data.txt\0junk" would reach the
// name checks as the harmless "Data.txt junk"; these names keep every byte.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct RawEntry {
    std::string name;   // the stored bytes, NULs included
    bool utf8 = false;  // general-purpose flag bit 11: the maker marked the name as UTF-8
    uint16_t method = 0;
    uint32_t crc = 0;
    uint64_t compressedSize = 0;
    uint64_t size = 0;
};

// Reads every central directory record of the archive at path, in the order stored (the zip
// library's index order). Nothing, with a printable failure, when the directory cannot be found or
// read, or lists more than maxEntries entries.
std::optional<std::vector<RawEntry>> ReadRawEntries(const std::string& path, uint64_t maxEntries,
                                                    std::string& failure);

}  // namespace platform
