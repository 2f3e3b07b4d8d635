#pragma once
// Unpacking an update package into a staging folder. Nothing here touches the installation: the
// caller checks the staged entries against it and moves them in as one transaction.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/zip_entry_name.h"

namespace platform {

// What a package may unpack to. Game data (pictures, models, sounds) compresses to between a half
// and a tenth of its size, and even long silences or blank pictures stay far below 200 times over a
// whole package, so a package that declares more than 200 times its own size is taken for a
// decompression bomb (deflate reaches about 1000). No package may unpack to more than 4 GiB or
// more than 100000 entries, and the disk must keep 64 MiB free besides what the package needs.
struct UnpackLimits {
    uint64_t maxExpansionFactor = 200;  // at least 1
    uint64_t maxTotalBytes = uint64_t{4} << 30;
    uint64_t maxEntries = 100000;
    uint64_t spareDiskBytes = uint64_t{64} << 20;
};

struct StagedEntry {
    std::string name;        // the bytes the package's directory stores, NULs included
    bool utf8Name = false;   // the package marks the name as UTF-8 (otherwise: the maker's code page)
    bool folder = false;     // a folder entry (its name ends in a separator); nothing is staged
    std::string stagedFile;  // files: where its bytes were written
};

struct UnpackResult {
    bool ok = false;
    bool stopped = false;  // keepGoing asked to stop
    std::string failure;   // what went wrong, printable
    std::vector<StagedEntry> entries;
};

struct UnpackCallbacks {
    std::function<void(int percent)> progress;  // 0 to 100 as the bytes are written
    std::function<bool()> keepGoing;            // false stops the unpacking (checked between blocks)
};

// Writes every file entry of archivePath into stagingFolder (an existing, empty folder) under a
// name of its own. Refuses the package when it is not a readable archive, holds links, devices or
// encrypted entries, declares more than the limits allow or more than the disk has room for, or
// when an entry's bytes do not match its declared size and checksum; an entry that writes more
// than it declared is stopped at that point. The staging folder may hold partial files after a
// failure; removing it is the caller's part.
UnpackResult UnpackToStaging(const std::string& archivePath, const std::string& stagingFolder,
                             const UnpackLimits& limits, const UnpackCallbacks& callbacks);

}  // namespace platform
