// Package entry names: whatever the name, an accepted path stays below the target folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/zip_entry_name.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view name(reinterpret_cast<const char*>(data), size);
    platform::EntryPath checked = platform::CheckEntryName(name);
    if (checked.kind == platform::EntryKind::Refused) {
        return 0;
    }
    const std::string& path = checked.path;
    if (path.find('\\') != std::string::npos || path.find('\0') != std::string::npos ||
        (!path.empty() && (path.front() == '/' || path.back() == '/'))) {
        std::abort();
    }
    size_t start = 0;
    while (start <= path.size() && !path.empty()) {
        size_t end = path.find('/', start);
        std::string_view part =
            std::string_view(path).substr(start, end == std::string::npos ? end : end - start);
        if (part.empty() || part == "." || part == "..") {
            std::abort();
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return 0;
}
