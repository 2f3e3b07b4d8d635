#pragma once
// Unpacking an update package over the game directory. The package is applied whole or not at
// all: every entry is checked first, then written to a temporary file beside its place, and only
// when all of them were written are they renamed over the old files.

#include <functional>
#include <string>

namespace platform {

struct ZipExtractResult {
    bool ok = false;
    std::string failure;  // what went wrong, for messages
};

// Extracts every entry of archivePath into targetFolder, overwriting existing files. progress
// receives 0 to 100 as the bytes are written. Refuses the whole package when it is not a readable
// archive or an entry would be written outside targetFolder (see CheckEntryName; folders reached
// through links count as outside).
ZipExtractResult ExtractZip(const std::string& archivePath, const std::string& targetFolder,
                            const std::function<void(int percent)>& progress);

}  // namespace platform
