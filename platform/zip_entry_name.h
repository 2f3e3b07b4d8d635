#pragma once
// Deciding where an entry of an update package may be written. Packages are made on systems that
// separate folders with backslashes; a name that would land outside the target folder (absolute,
// a drive letter, "..") or that holds a control character is refused.

#include <string>
#include <string_view>

namespace platform {

enum class EntryKind { File, Folder, Refused };

struct EntryPath {
    EntryKind kind = EntryKind::Refused;
    std::string path;  // relative, "/"-separated, without "." or empty parts; empty for the target itself
};

// Backslashes count as folder separators; a name ending in a separator is a folder.
EntryPath CheckEntryName(std::string_view name);

}  // namespace platform
