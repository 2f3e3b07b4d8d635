// The updater's text files ("Option.ini", "ATString.ini", "Version.ini") read from any bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "updater/line_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (updater::LanguageFromOptionFile(text).size() > 3) {
        std::abort();
    }
    updater::MessageTable table = updater::ParseMessageTable(text);
    if (table.size() > 100) {
        std::abort();
    }
    std::string version = updater::VersionFromFile(text);
    if (!version.empty() && updater::TrimBlanks(version).size() != version.size()) {
        std::abort();
    }
    return 0;
}
