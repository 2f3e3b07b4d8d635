#include "updater/update_settings.h"

#include <algorithm>

#include "updater/line_rules.h"

namespace updater {

namespace {

bool IsServerAddress(std::string_view value) {
    bool printable = std::all_of(value.begin(), value.end(), [](char c) { return c > ' ' && c < 0x7F; });
    return printable && (value.starts_with("http://") || value.starts_with("https://"));
}

}  // namespace

std::optional<UpdateSettings> ParseUpdateSettings(std::string_view text, std::string& problem) {
    UpdateSettings settings;
    for (std::string_view line : SplitLines(text)) {
        line = TrimBlanks(line);
        size_t equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string_view::npos) {
            continue;
        }
        std::string_view name = TrimBlanks(line.substr(0, equals));
        std::string_view value = TrimBlanks(line.substr(equals + 1));
        if (name == "SERVER") {
            if (!IsServerAddress(value)) {
                problem = "SERVER is not an http:// or https:// address";
                return std::nullopt;
            }
            settings.server = std::string(value);
            if (settings.server.back() != '/') {
                settings.server += '/';
            }
        } else if (name == "KEY") {
            settings.key = platform::FromHex<platform::PublicKey>(value);
            if (!settings.key) {
                problem = "KEY is not a public key of 64 hexadecimal digits";
                return std::nullopt;
            }
        }
    }
    return settings;
}

std::string UpdateSettingsText(const UpdateSettings& settings) {
    std::string text;
    if (!settings.server.empty()) {
        text += "SERVER=" + settings.server + "\n";
    }
    if (settings.key) {
        text += "KEY=" + platform::ToHex(*settings.key) + "\n";
    }
    return text;
}

}  // namespace updater
