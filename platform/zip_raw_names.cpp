#include "platform/zip_raw_names.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/le_bytes.h"

namespace platform {

namespace {

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64EndSignature = 0x06064b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr size_t kEndSize = 22;
constexpr size_t kLocatorSize = 20;
constexpr size_t kZip64EndSize = 56;
constexpr size_t kCentralSize = 46;
constexpr size_t kLongestComment = 0xFFFF;
constexpr uint16_t kZip64ExtraId = 0x0001;

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

uint64_t U64(LeReader& reader) {
    uint64_t low = reader.U32();
    return low | uint64_t{reader.U32()} << 32;
}

bool ReadAt(FILE* file, uint64_t offset, void* out, size_t size) {
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0 && std::fread(out, 1, size, file) == size;
}

struct Directory {
    uint64_t entries = 0;
    uint64_t offset = 0;
    uint64_t size = 0;
};

// The end record: the last signature in the tail whose comment reaches exactly to the end of the
// file, as the zip library looks for it.
std::optional<uint64_t> FindEnd(FILE* file, uint64_t fileSize) {
    uint64_t tailSize = std::min<uint64_t>(fileSize, kEndSize + kLongestComment);
    std::vector<uint8_t> tail(tailSize);
    if (tailSize < kEndSize || !ReadAt(file, fileSize - tailSize, tail.data(), tail.size())) {
        return std::nullopt;
    }
    for (size_t at = tail.size() - kEndSize + 1; at-- > 0;) {
        LeReader reader(tail.data() + at, tail.size() - at);
        if (reader.U32() != kEndSignature) {
            continue;
        }
        LeReader comment(tail.data() + at + 20, 2);
        if (at + kEndSize + comment.U16() == tail.size()) {
            return fileSize - tailSize + at;
        }
    }
    return std::nullopt;
}

// Where the directory is: from the end record, or from the zip64 end record when the end record
// holds the markers that send the reader there.
bool ReadDirectoryPlace(FILE* file, uint64_t endOffset, Directory& directory) {
    uint8_t end[kEndSize];
    if (!ReadAt(file, endOffset, end, sizeof end)) {
        return false;
    }
    LeReader reader(end + 10, sizeof end - 10);
    directory.entries = reader.U16();
    directory.size = reader.U32();
    directory.offset = reader.U32();
    bool zip64 =
        directory.entries == 0xFFFF || directory.size == 0xFFFFFFFF || directory.offset == 0xFFFFFFFF;
    if (!zip64) {
        return true;
    }
    uint8_t locator[kLocatorSize];
    if (endOffset < kLocatorSize || !ReadAt(file, endOffset - kLocatorSize, locator, sizeof locator)) {
        return false;
    }
    LeReader located(locator, sizeof locator);
    if (located.U32() != kZip64LocatorSignature) {
        return false;
    }
    located.U32();  // disk
    uint64_t zip64End = U64(located);
    uint8_t record[kZip64EndSize];
    if (!ReadAt(file, zip64End, record, sizeof record)) {
        return false;
    }
    LeReader signature(record, 4);
    if (signature.U32() != kZip64EndSignature) {
        return false;
    }
    // After the signature: record size, versions and disk numbers, entries on this disk.
    LeReader big(record + 32, sizeof record - 32);
    directory.entries = U64(big);
    directory.size = U64(big);
    directory.offset = U64(big);
    return true;
}

// Sizes too large for the record's 32-bit fields are in its zip64 extra field.
void ApplyZip64Extra(const std::vector<uint8_t>& extra, RawEntry& entry) {
    size_t at = 0;
    while (extra.size() - at >= 4) {
        LeReader header(extra.data() + at, 4);
        uint16_t id = header.U16();
        uint16_t length = header.U16();
        at += 4;
        size_t available = std::min<size_t>(length, extra.size() - at);
        if (id != kZip64ExtraId) {
            at += available;
            continue;
        }
        LeReader field(extra.data() + at, available);
        if (entry.size == 0xFFFFFFFF) {
            entry.size = U64(field);
        }
        if (entry.compressedSize == 0xFFFFFFFF) {
            entry.compressedSize = U64(field);
        }
        return;
    }
}

}  // namespace

std::optional<std::vector<RawEntry>> ReadRawEntries(const std::string& path, uint64_t maxEntries,
                                                    std::string& failure) {
    File file(std::fopen(path.c_str(), "rb"));
    if (!file || fseeko(file.get(), 0, SEEK_END) != 0) {
        failure = "cannot read the package";
        return std::nullopt;
    }
    auto fileSize = static_cast<uint64_t>(ftello(file.get()));
    std::optional<uint64_t> endOffset = FindEnd(file.get(), fileSize);
    Directory directory;
    if (!endOffset || !ReadDirectoryPlace(file.get(), *endOffset, directory) || directory.offset > fileSize ||
        directory.size > fileSize - directory.offset) {
        failure = "the package's directory cannot be found";
        return std::nullopt;
    }
    if (directory.entries > maxEntries) {
        failure = "the package has more than " + std::to_string(maxEntries) + " entries";
        return std::nullopt;
    }
    std::vector<RawEntry> entries;
    uint64_t at = directory.offset;
    const uint64_t directoryEnd = directory.offset + directory.size;
    for (uint64_t i = 0; i < directory.entries; ++i) {
        uint8_t header[kCentralSize];
        if (directoryEnd - at < kCentralSize || !ReadAt(file.get(), at, header, sizeof header)) {
            failure = "the package's directory is cut short";
            return std::nullopt;
        }
        LeReader reader(header, sizeof header);
        if (reader.U32() != kCentralSignature) {
            failure = "the package's directory is damaged at entry " + std::to_string(i);
            return std::nullopt;
        }
        RawEntry entry;
        reader.U32();  // versions made by and needed
        entry.utf8 = (reader.U16() & 0x800) != 0;
        entry.method = reader.U16();
        reader.U32();  // time and date
        entry.crc = reader.U32();
        entry.compressedSize = reader.U32();
        entry.size = reader.U32();
        uint16_t nameLength = reader.U16();
        uint16_t extraLength = reader.U16();
        uint16_t commentLength = reader.U16();
        uint64_t recordSize = kCentralSize + nameLength + extraLength + commentLength;
        entry.name.resize(nameLength);
        std::vector<uint8_t> extra(extraLength);
        if (directoryEnd - at < recordSize ||
            !ReadAt(file.get(), at + kCentralSize, entry.name.data(), nameLength) ||
            std::fread(extra.data(), 1, extra.size(), file.get()) != extra.size()) {
            failure = "the package's directory is cut short";
            return std::nullopt;
        }
        ApplyZip64Extra(extra, entry);
        entries.push_back(std::move(entry));
        at += recordSize;
    }
    return entries;
}

}  // namespace platform
