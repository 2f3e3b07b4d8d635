// The updater's text files ("Option.ini", "ATString.ini", "Version.ini", "Upgrade/Update.ini" and a
// package's "UpData.zip.sig") read from any bytes; what reads writes back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "updater/line_rules.h"
#include "updater/signature_file.h"
#include "updater/update_settings.h"

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
    std::string problem;
    if (std::optional<updater::SignatureFile> signature = updater::ParseSignatureFile(text, problem)) {
        std::optional<updater::SignatureFile> again =
            updater::ParseSignatureFile(updater::SignatureFileText(*signature), problem);
        if (!again || again->signature != signature->signature ||
            again->statement.appliesTo != signature->statement.appliesTo) {
            std::abort();
        }
    }
    if (std::optional<updater::UpdateSettings> settings = updater::ParseUpdateSettings(text, problem)) {
        std::optional<updater::UpdateSettings> again =
            updater::ParseUpdateSettings(updater::UpdateSettingsText(*settings), problem);
        if (!again || again->server != settings->server || again->key != settings->key) {
            std::abort();
        }
    }
    return 0;
}
