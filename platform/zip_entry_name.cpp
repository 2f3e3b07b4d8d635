#include "platform/zip_entry_name.h"

namespace platform {

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// Control characters (a line feed, an escape sequence, NUL) have no place in a file name.
bool HasControlByte(std::string_view name) {
    for (char c : name) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return true;
        }
    }
    return false;
}

// "..", and the names that systems dropping trailing dots and blanks would read as ".." or ".".
bool IsDotsAndBlanks(std::string_view part) {
    return part.size() >= 2 && part.find_first_not_of(". ") == std::string_view::npos;
}

}  // namespace

EntryPath CheckEntryName(std::string_view name) {
    EntryPath refused;
    if (name.empty() || IsSeparator(name.front()) || HasControlByte(name)) {
        return refused;
    }
    if (name.size() >= 2 && name[1] == ':') {
        return refused;  // a drive letter: "C:\..." or drive-relative "C:..."
    }
    EntryPath result;
    result.kind = IsSeparator(name.back()) ? EntryKind::Folder : EntryKind::File;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) {
            ++end;
        }
        std::string_view part = name.substr(start, end - start);
        if (IsDotsAndBlanks(part) || (result.kind == EntryKind::File && end == name.size() && part == ".")) {
            return refused;
        }
        if (!part.empty() && part != ".") {
            if (!result.path.empty()) {
                result.path += '/';
            }
            result.path += part;
        }
        start = end + 1;
    }
    if (result.kind == EntryKind::File && result.path.empty()) {
        return refused;
    }
    return result;
}

}  // namespace platform
